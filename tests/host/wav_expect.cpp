#include "wav_expect.h"

#include <algorithm>
#include <cstdlib>

namespace kvt::test {
namespace {

constexpr std::uint32_t kRates[] = {44100, 33075, 22050, 16538, 11025};

void le(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void text(Bytes& out, const char* s) {
  while (*s != '\0') out.push_back(static_cast<std::uint8_t>(*s++));
}

}  // namespace

std::vector<std::int16_t> rendered_samples(const Bytes& song, const std::map<int, Bytes>& voices,
                                           const WavSettings& s, std::size_t max_blocks) {
  Harness h(song, voices, Output{s.rate_index, s.channel, s.effect_level, 1});
  std::vector<std::int16_t> out;
  for (std::size_t n = 0; n < max_blocks; ++n) {
    const int r = h.play();
    if (r == -1) break;
    if (r >= s.loop) h.ctx().fade_speed = s.fade * 16 + 4;
    out.insert(out.end(), h.block(), h.block() + h.block_samples());
  }
  return out;
}

Bytes expected_wav(const std::vector<std::int16_t>& samples, const WavSettings& s) {
  Bytes data;
  if (s.bit == 16) {
    for (std::int16_t v : samples) le(data, static_cast<std::uint16_t>(v), 2);
  } else {
    int peak = 0;
    for (std::int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
    const int d = (peak - 1) / 128 + 1;
    for (std::int16_t v : samples) data.push_back(static_cast<std::uint8_t>(std::min((v + 128 * d + d / 2) / d, 255)));
  }
  const std::uint32_t rate = kRates[s.rate_index];
  const std::uint32_t frame = static_cast<std::uint32_t>(s.channel * s.bit / 8);
  Bytes wav;
  text(wav, "RIFF");
  le(wav, static_cast<std::uint32_t>(data.size() + 36), 4);
  text(wav, "WAVEfmt ");
  le(wav, 16, 4);
  le(wav, 1, 2);
  le(wav, static_cast<std::uint32_t>(s.channel), 2);
  le(wav, rate, 4);
  le(wav, rate * frame, 4);
  le(wav, frame, 2);
  le(wav, static_cast<std::uint32_t>(s.bit), 2);
  text(wav, "data");
  le(wav, static_cast<std::uint32_t>(data.size()), 4);
  wav.insert(wav.end(), data.begin(), data.end());
  return wav;
}

}  // namespace kvt::test
