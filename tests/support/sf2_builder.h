// SoundFont 2 files built byte by byte for the bank import tests, and the
// small SoundFont those tests share.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kvt::test {

struct Sf2Sample {
  std::string name;
  std::vector<std::int16_t> data;
  std::uint32_t rate;
  std::uint8_t pitch;
  std::int8_t correction = 0;
  std::uint32_t loop_start = 0, loop_end = 0;  // from the sample's first point
  std::uint16_t type = 1;                      // mono
  std::uint16_t link = 0;
};

using Sf2Zone = std::vector<std::pair<std::uint16_t, std::uint16_t>>;  // generator, amount

struct Sf2Instrument {
  std::string name;
  std::vector<Sf2Zone> zones;
};

struct Sf2Preset {
  std::string name;
  std::uint16_t program, bank;
  std::vector<Sf2Zone> zones;
};

std::vector<std::uint8_t> sf2_file(const std::vector<Sf2Preset>& presets, const std::vector<Sf2Instrument>& instruments,
                                   const std::vector<Sf2Sample>& samples);

std::uint16_t key_range(int low, int high);

// The shared SoundFont. Bank 0: program 0 "Keys" plays a 441 Hz sine
// (22050 Hz, root 60) on keys 0..59 and a 500 Hz sine (32000 Hz, root 72,
// +7 cents) from 60 up, both looped, with an envelope, and a soft layer
// below velocity 51 that the import leaves out; program 5 "Pluck" a
// one-shot click (44100 Hz, root overridden to 64). Bank 128: kit 0 with
// the click on key 36 (another release) and a stereo pair on key 42.
std::vector<std::uint8_t> test_soundfont();

inline constexpr double kLowSine = 441.0;   // at key 60
inline constexpr double kHighSine = 500.0;  // at key 72, before its 7 cents

}  // namespace kvt::test
