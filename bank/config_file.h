// The voice configuration file "kvt.cfb": PCM voice index, multi-sample
// split lists, the program table and the drum table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvt::bank {

inline constexpr std::uint8_t kMelodicKey = 0xC0;  // no transpose shown in the track view
inline constexpr std::uint8_t kDrumKey = 0xFF;
inline constexpr std::uint16_t kUndefined = 0xFFFF;

struct PcmEntry {
  std::uint8_t key;
  std::string name;
};

struct Split {
  std::uint16_t pcm;
  std::int8_t volume;
  std::int8_t transpose;
  std::int8_t low_key;
  std::int8_t high_key;
};

struct Layer {
  std::uint16_t split_index;
  std::uint8_t envelope_set;  // 1..4
  std::uint8_t level_scale;
  std::uint8_t vibrato_step;
  std::uint8_t vibrato_delay;
  std::int8_t detune;
};

struct ProgramVariant {
  std::uint8_t bank;          // 1..127
  std::vector<Layer> layers;  // one or two
};

struct Program {
  std::vector<Layer> layers;  // one or two
  std::vector<ProgramVariant> variants;  // rows chosen by bank number
};

struct DrumKey {
  std::uint16_t pcm = kUndefined;
  std::uint8_t envelope_set = 1;
  std::int8_t pitch = 36;
  std::int8_t level = 0;
  std::uint8_t pan = 64;
};

struct Config {
  std::vector<PcmEntry> pcm;                   // by PCM voice number; empty name = undefined
  std::vector<std::vector<Split>> multi;       // by multi-sample voice number
  std::vector<Program> programs;               // 128
  std::vector<std::vector<DrumKey>> kits;      // distinct kits, 128 keys each
  std::vector<int> kit_of_program;             // 128 entries into kits
};

std::vector<std::uint8_t> config_file_bytes(const Config& config);

}  // namespace kvt::bank
