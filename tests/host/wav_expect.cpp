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

// One pass from wherever `h` stands: blocks until the song ends, with the
// fade starting once the loop count is reached.
std::vector<std::int16_t> play_pass(Harness& h, const WavSettings& s, std::size_t max_blocks) {
  std::vector<std::int16_t> out;
  for (std::size_t n = 0; n < max_blocks; ++n) {
    const int r = h.play();
    if (r == -1) break;
    if (r >= s.loop) h.ctx().fade_speed = s.fade * 16 + 4;
    out.insert(out.end(), h.block(), h.block() + h.block_samples());
  }
  return out;
}

int peak_of(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (std::int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
  return peak;
}

Bytes eight_bit(const std::vector<std::int16_t>& samples, int peak) {
  const int d = (peak - 1) / 128 + 1;
  Bytes data;
  for (std::int16_t v : samples) data.push_back(static_cast<std::uint8_t>(std::min((v + 128 * d + d / 2) / d, 255)));
  return data;
}

Bytes sixteen_bit(const std::vector<std::int16_t>& samples) {
  Bytes data;
  for (std::int16_t v : samples) le(data, static_cast<std::uint16_t>(v), 2);
  return data;
}

Bytes riff(const Bytes& data, const WavSettings& s) {
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

Harness wav_harness(const Bytes& song, const std::map<int, Bytes>& voices, const WavSettings& s) {
  return Harness(song, voices, Output{s.rate_index, s.channel, s.effect_level, 1});
}

}  // namespace

std::vector<std::int16_t> rendered_samples(const Bytes& song, const std::map<int, Bytes>& voices,
                                           const WavSettings& s, std::size_t max_blocks) {
  Harness h = wav_harness(song, voices, s);
  return play_pass(h, s, max_blocks);
}

Bytes expected_wav(const std::vector<std::int16_t>& samples, const WavSettings& s) {
  return riff(s.bit == 16 ? sixteen_bit(samples) : eight_bit(samples, peak_of(samples)), s);
}

Bytes expected_wav(const Bytes& song, const std::map<int, Bytes>& voices, const WavSettings& s) {
  Harness h = wav_harness(song, voices, s);
  const std::vector<std::int16_t> first = play_pass(h, s, SIZE_MAX);
  if (s.bit == 16) return riff(sixteen_bit(first), s);
  h.init();  // still with the fade speed that the first pass ended with
  h.ctx().fade_speed = 0;
  return riff(eight_bit(play_pass(h, s, SIZE_MAX), peak_of(first)), s);
}

}  // namespace kvt::test
