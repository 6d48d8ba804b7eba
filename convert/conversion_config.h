// The voice configuration as the MIDI converter reads it: voice files,
// split lists, program rows with their layers, and drum kits. Everything
// is read and bounds-checked once, so the conversion never looks outside
// the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvt::convert {

inline constexpr int kMaxVoiceFiles = 2048;
inline constexpr int kMaxSplitLists = 512;
inline constexpr int kPrograms = 128;
inline constexpr int kKeys = 128;

struct SplitRecord {
  std::uint16_t voice;  // voice file id
  std::int8_t level;
  std::int8_t transpose;
  std::int8_t low_key;
  std::int8_t high_key;
};

struct LayerRow {
  std::uint16_t split;  // split list index
  std::uint8_t envelope_set;
  std::uint8_t level_scale;
  std::uint8_t vibrato_step;
  std::uint8_t vibrato_delay;
  std::int8_t detune;
};

struct ProgramRow {
  std::uint8_t bank;
  std::uint8_t layer_count;  // 1 or 2
  LayerRow layers[2];
};

struct DrumRecord {
  std::uint16_t voice;
  std::uint8_t envelope;
  std::int8_t pitch;
  std::int8_t level;
  std::uint8_t pan;
};

struct VoiceFile {
  std::uint8_t key;
  std::string name;
};

class ConversionConfig {
 public:
  // False when the image is damaged (a table or an item outside it).
  bool load(const std::vector<std::uint8_t>& image);

  const VoiceFile* voice(int id) const;
  const std::vector<SplitRecord>* splits(int index) const;  // null when undefined
  // Row 0 of the program, or its first variant row for `bank`; null when
  // the program is undefined.
  const ProgramRow* program_row(int program, int bank) const;
  // The kit of `program` for `key`; null when the kit is undefined.
  const DrumRecord* drum(int program, int key) const;

 private:
  std::vector<std::optional<VoiceFile>> voices_;
  std::vector<std::vector<SplitRecord>> splits_;
  std::vector<std::vector<ProgramRow>> programs_;
  std::vector<std::vector<DrumRecord>> kits_;
};

}  // namespace kvt::convert
