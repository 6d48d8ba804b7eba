// Renders a few blocks of arbitrary song bytes with a small fixed voice set.
// The first byte picks the output settings; the rest is the song image.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "driver.h"
#include "voice_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A voice image with `length` samples of a ramp; every header field the
// driver reads is set from the arguments.
Bytes voice(bool wide, std::uint32_t length, std::uint32_t loop, std::uint8_t fraction, std::uint8_t rate_class,
            bool one_shot) {
  Bytes v(kvt::voice::kHeaderSize, 0);
  const char* magic = wide ? "FSPW" : "FSPP";
  for (int i = 0; i < 4; ++i) v[i] = static_cast<std::uint8_t>(magic[i]);
  v[0x06] = length & 0xFF, v[0x07] = (length >> 8) & 0xFF;
  v[0x08] = loop & 0xFF, v[0x09] = (loop >> 8) & 0xFF;
  v[0x0A] = fraction;
  v[0x0B] = rate_class;
  v[0x0C] = 3;
  v[0x0D] = 1;
  v[0x0E] = one_shot ? 1 : 0;
  const std::uint8_t sets[4][8] = {{0, 90, 60, 10, 20, 200, 30, 70},
                                   {127, 95, 40, 3, 0, 0, 90, 92},
                                   {60, 50, 50, 0xF0, 10, 0, 0, 80},
                                   {10, 10, 10, 10, 10, 10, 10, 10}};
  for (int s = 0; s < 4; ++s)
    for (int i = 0; i < 8; ++i) v[0x10 + 8 * s + i] = sets[s][i];
  v[0x30] = 0x00, v[0x31] = 0x80;
  v[0x40] = v[0x41] = v[0x42] = v[0x43] = 0xFF;
  const std::uint8_t levels[8] = {0xFF, 0xFF, 100, 3, 0xFF, 12, 127, 0xFF};
  for (int i = 0; i < 8; ++i) v[0x48 + i] = levels[i];
  for (std::uint32_t i = 0; i <= length; ++i) {
    const std::uint32_t x = (i == length ? loop : i) * 977u;
    v.push_back(static_cast<std::uint8_t>(x));
    if (wide) v.push_back(static_cast<std::uint8_t>(x >> 8));
  }
  return v;
}

const std::array<Bytes, 4>& voices() {
  static const std::array<Bytes, 4> set = {voice(true, 300, 100, 0, 0, false), voice(false, 257, 7, 128, 4, false),
                                           voice(true, 64, 0, 0, 10, true), voice(false, 1, 0, 0, 7, false)};
  return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const auto ctx = kvt::driver::make_context();
  static std::vector<std::int16_t> buffer(8192);
  kvt::driver::Context& c = *ctx;
  kvt::driver::set_default_inputs(c);
  const std::uint8_t settings = data[0];
  c.sb16 = settings & 7;
  c.channel = (settings & 8) ? 1 : 2;
  c.effect_level = (settings >> 4) % 3;
  c.cpu_code = (settings & 0x40) ? 0 : 1;
  c.fade_speed = (settings & 0x80) ? 1 : 0;
  // An exact-size copy, so that reading one byte past the song is caught.
  const Bytes song(data + 1, data + size);
  c.fm = song.data();
  c.fm_size = song.size();
  for (int i = 0; i < 256; ++i) {
    const Bytes& v = voices()[i % 4];
    c.kvw[i] = i % 5 == 4 ? nullptr : v.data();
    c.kvw_size[i] = v.size();
  }
  c.buffer = buffer.data();
  c.dwDataSize = 16384;
  kvt::driver::init(c);
  for (int block = 0; block < 4; ++block) {
    const int r = kvt::driver::play(c);
    if (r < -1 || r > 255) std::abort();
  }
  return 0;
}
