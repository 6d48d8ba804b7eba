// How the General MIDI programs and the drum keys map onto the bank's
// instruments and drum voices.
#pragma once

#include <cstdint>

namespace kvt::bank {

struct ProgramVoice {
  const char* sound;  // an instrument id, or a drum voice name
  std::uint8_t envelope_set;  // 1..4
  std::uint8_t level_scale;
  std::uint8_t vibrato_step;
  std::uint8_t vibrato_delay;
};

struct DrumKeyVoice {
  int key;
  const char* drum;
  std::int8_t pitch;  // 36 plays the sample as made
  std::uint8_t pan;
};

const ProgramVoice& program_voice(int program);  // 0..127

// The standard kit, keys 27..81.
extern const DrumKeyVoice kStandardKit[];
extern const int kStandardKitSize;

}  // namespace kvt::bank
