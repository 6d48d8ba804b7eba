#include "voice_file.h"

#include <algorithm>

namespace kvt::bank {
namespace {

constexpr std::size_t kHeaderSize = 0x100;

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint8_t shifted(int value, int by, int low, int high) {
  return static_cast<std::uint8_t>(std::clamp(value + by, low, high));
}

}  // namespace

std::array<EnvelopeSet, 4> envelope_sets(const EnvelopeSet& m) {
  EnvelopeSet soft = m, short_release = m, long_release = m;
  soft[0] = shifted(m[0], -24, 1, 127);
  soft[1] = shifted(m[1], -12, 0, 95);
  short_release[7] = shifted(m[7], 10, 0, 95);
  long_release[7] = shifted(m[7], -16, 0, 95);
  return {m, soft, short_release, long_release};
}

std::vector<std::uint8_t> voice_file_bytes(const VoiceFile& v) {
  std::vector<std::uint8_t> b(kHeaderSize, 0);
  std::copy_n("FSPW", 4, b.begin());
  const auto length = static_cast<std::uint32_t>(v.samples.size());
  put16(b, 0x06, length & 0xFFFF);
  put16(b, 0x08, v.loop_start & 0xFFFF);
  b[0x0B] = v.rate_class;
  b[0x0E] = v.one_shot ? 1 : 0;
  std::array<EnvelopeShape, 4> shapes{};
  if (v.sets) {
    shapes = *v.sets;
  } else {
    const auto sets = envelope_sets(v.envelope.main);
    for (int s = 0; s < 4; ++s) shapes[s] = {sets[s], v.envelope.decay_shift};
  }
  for (int s = 0; s < 4; ++s) std::copy(shapes[s].main.begin(), shapes[s].main.end(), b.begin() + 0x10 + 8 * s);
  put16(b, 0x30, v.tuning);
  put16(b, 0x40, length >> 16);
  put16(b, 0x42, v.loop_start >> 16);
  for (int s = 0; s < 4; ++s) {
    b[0x48 + 2 * s] = 127;
    b[0x49 + 2 * s] = shapes[s].decay_shift;
  }
  for (std::int16_t x : v.samples) {
    b.push_back(static_cast<std::uint8_t>(x));
    b.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(x) >> 8));
  }
  return b;
}

}  // namespace kvt::bank
