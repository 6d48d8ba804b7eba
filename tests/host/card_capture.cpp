#include "card_capture.h"

#include <stdlib.h>

#include <algorithm>
#include <cstring>

namespace kvt::test {

void use_disk_card(const std::string& capture, int delay_ms) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIODELAY", std::to_string(delay_ms).c_str(), 1);
  setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
}

std::vector<std::int16_t> samples_of(const Bytes& bytes, std::size_t skip) {
  skip = std::min(skip, bytes.size());
  std::vector<std::int16_t> s((bytes.size() - skip) / 2);
  std::memcpy(s.data(), bytes.data() + skip, s.size() * 2);
  return s;
}

::testing::AssertionResult plays_as(const std::vector<std::int16_t>& capture, const std::vector<std::int16_t>& expected,
                                    int channel, std::size_t buffer_frames) {
  const std::size_t buffer = buffer_frames * channel;
  std::size_t at = 0;
  for (std::size_t start = 0; start < expected.size(); start += buffer) {
    const std::size_t n = std::min(buffer, expected.size() - start);
    for (;;) {
      if (capture.size() - at >= n &&
          std::equal(expected.begin() + start, expected.begin() + start + n, capture.begin() + at)) {
        at += n;
        break;
      }
      if (capture.size() - at < static_cast<std::size_t>(channel)) {
        return ::testing::AssertionFailure() << "buffer " << start / buffer << " never reached the card";
      }
      for (int c = 0; c < channel; ++c, ++at) {
        if (capture[at] != 0) {
          return ::testing::AssertionFailure() << "sound other than buffer " << start / buffer << " at sample " << at;
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kvt::test
