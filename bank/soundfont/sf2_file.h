// The parts of a SoundFont 2 file that a voice bank needs: the preset,
// instrument and sample headers with their zones' generators, and the
// 16-bit sample data. Read from memory with every index checked, so a
// damaged file gives Sf2Error and never a read outside it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvt::soundfont {

struct Sf2Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Generator numbers used here.
enum Gen : int {
  kStartOffset = 0,
  kEndOffset = 1,
  kLoopStartOffset = 2,
  kLoopEndOffset = 3,
  kStartCoarseOffset = 4,
  kEndCoarseOffset = 12,
  kPan = 17,
  kDelayVolEnv = 33,
  kAttackVolEnv = 34,
  kHoldVolEnv = 35,
  kDecayVolEnv = 36,
  kSustainVolEnv = 37,
  kReleaseVolEnv = 38,
  kInstrument = 41,
  kKeyRange = 43,
  kVelRange = 44,
  kLoopStartCoarseOffset = 45,
  kInitialAttenuation = 48,
  kLoopEndCoarseOffset = 50,
  kCoarseTune = 51,
  kFineTune = 52,
  kSampleId = 53,
  kSampleModes = 54,
  kOverridingRootKey = 58,
  kGenCount = 61,
};

struct Generator {
  std::uint16_t oper;
  std::uint16_t amount;  // signed, or a low/high byte range
};

struct Zone {
  std::vector<Generator> generators;
};

struct Preset {
  std::string name;
  int program;
  int bank;
  std::vector<Zone> zones;
};

struct Instrument {
  std::string name;
  std::vector<Zone> zones;
};

enum SampleType : std::uint16_t { kMono = 1, kRight = 2, kLeft = 4, kLinked = 8 };

struct Sample {
  std::string name;
  std::uint32_t start, end, loop_start, loop_end;  // in sample points of the data
  std::uint32_t rate;
  std::uint8_t original_pitch;
  std::int8_t pitch_correction;  // cents
  std::uint16_t link;
  std::uint16_t type;
};

struct Sf2File {
  std::vector<Preset> presets;
  std::vector<Instrument> instruments;
  std::vector<Sample> samples;  // every one's points lie within data
  std::vector<std::int16_t> data;
};

// Throws Sf2Error saying what is wrong.
Sf2File read_sf2(const std::uint8_t* bytes, std::size_t size);

}  // namespace kvt::soundfont
