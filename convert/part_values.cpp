#include "part_values.h"

#include <algorithm>
#include <cmath>

#include "part_writer.h"

namespace kvt::convert {
namespace {

std::int64_t loudness(const Channel& ch) {
  const std::int64_t x = static_cast<std::int64_t>(ch.volume) * ch.expression;
  return x * x / 16384;
}

void put_signed_detune(Converter& c, Part& p, int value) {
  if (value > -128 && value < 128) {
    put(c, p, kDetune8);
    put(c, p, value & 0xFF);
  } else {
    put(c, p, kDetune16);
    put16(c, p, std::clamp(value, -32767, 32767) & 0xFFFF);
  }
}

}  // namespace

int velocity_code(const Channel& ch, int velocity) {
  const int v = std::clamp(velocity * ch.sense_depth / 64 + ch.sense_offset - 64, 0, 127);
  return v < 64 ? v + 0xA0 : v / 2 + 0xC0;
}

std::int64_t volume_word(const Converter& c, const Channel& ch, const Part& p) {
  const std::int64_t y = loudness(ch);
  const std::int64_t r = ch.reverb * 3 / 4;
  const std::int64_t scaled = p.level * y / 13000;
  std::int64_t word;
  if (p.drum) {
    const std::int64_t inner = (p.key_level + ch.brightness + 0x80) *
                               std::int64_t{c.settings.volume + c.settings.drum_volume + 32} * scaled / 8192;
    word = (r + ch.chorus + 2048) * (c.master_volume * inner / 128) / 2048;
  } else {
    const std::int64_t inner = (ch.brightness + 0xC0) * std::int64_t{c.settings.volume + 32} * scaled / 8192;
    word = (r + ch.chorus + 512) * (c.master_volume * inner / 128) / 512;
  }
  return std::clamp<std::int64_t>(word, 0, 0xFFFF);  // the gain is one word
}

int detune_value(const Channel& ch, int offset) {
  const double semitones = (ch.bend - 64) * ch.bend_range / 64.0 + (ch.fine_tune - 64) / 64.0 + (ch.coarse_tune - 64);
  return static_cast<int>(std::trunc(4096.0 * std::exp2(semitones / 12.0) - 4096.0)) + offset;
}

int drum_detune_value(int fine) {
  return static_cast<int>(std::trunc(4096.0 * std::exp2((fine - 64) / 768.0) - 4096.0));
}

void put_velocity(Converter& c, Part& p, int code) {
  if (p.velocity_code == code) return;
  p.velocity_code = code;
  put(c, p, kVolume);
  put(c, p, code);
}

void put_volume_word(Converter& c, Part& p, std::int64_t word) {
  if (p.volume_word == word) return;
  p.volume_word = word;
  put(c, p, kPartGain);
  put16(c, p, static_cast<int>(word));
}

void put_pan(Converter& c, Part& p, int pan) {
  if (p.pan == pan) return;
  p.pan = pan;
  put(c, p, kPan);
  put(c, p, (pan - 64) & 0xFF);
}

void put_modulation(Converter& c, Part& p, int depth) {
  const int step = depth / 11;
  if (p.modulation == step) return;
  p.modulation = step;
  if (step == 0) {
    put(c, p, kSwingOff);
  } else {
    put(c, p, kSwing);
    put(c, p, step);
  }
}

void put_detune(Converter& c, Part& p, int value) {
  if (p.detune == value) return;
  p.detune = value;
  put_signed_detune(c, p, value);
}

void put_rates(Converter& c, Part& p, const int rates[3]) {
  if (std::equal(rates, rates + 3, p.rates)) return;
  put(c, p, kEnvelopeRates);
  for (int i = 0; i < 3; ++i) {
    put(c, p, p.rates[i] == rates[i] ? 0x80 : rates[i] & 0xFF);
    p.rates[i] = rates[i];
  }
}

void put_track_marker(Converter& c, Part& p) {
  if (c.format1 == 0 || p.track == c.current_track) return;
  p.track = c.current_track;
  put(c, p, kKeyGroup);
  put(c, p, c.current_track == 0 ? 0 : (c.current_track - 1) % 17);
}

}  // namespace kvt::convert
