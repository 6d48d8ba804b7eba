#include "dense_song.h"

#include <cmath>

namespace kvt::bench {

test::Bytes busy_part(int index) {
  test::Bytes p;
  if (index == 0) {
    p = {0x7C, 80, 100, 200, 0, 0};
    p.insert(p.end(), {0x7D, 0, 0, 100, 60, 40, 0, 20, 8, 2, 1});
  }
  p.insert(p.end(), {0x7B, static_cast<std::uint8_t>(index % 2), 0x79});
  for (int n = 0; n < 8; ++n) p.insert(p.end(), {static_cast<std::uint8_t>(24 + (index * 5 + n * 7) % 48), 200});
  p.push_back(0xFF);
  return p;
}

test::VoiceParams tone_voice() {
  test::VoiceParams v;
  for (int i = 0; i < 4000; ++i) v.samples.push_back(static_cast<std::int32_t>(9000 * std::sin(i * 0.0628)));
  v.loop_start = 3000;
  v.sets[0] = {127, 0, 0, 0, 0, 0, 0, 60};
  return v;
}

}  // namespace kvt::bench
