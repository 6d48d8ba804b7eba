// The voice files that zones play: one a distinct piece of sample data,
// loop and tuning, so that zones sharing a sample share its voice.
#pragma once

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "key_zones.h"
#include "voice_file.h"

namespace kvt::soundfont {

class VoiceMaker {
 public:
  // `rate_class` forces the class; data faster than it is resampled to it.
  VoiceMaker(const Sf2File& file, std::optional<int> rate_class) : file_(file), rate_class_(rate_class) {}

  // Zones that differ only in their tuning each need a copy of the data;
  // a file that asks for too many is refused rather than filling memory.
  static constexpr std::size_t kMaxVoices = 1920;  // the converter reads 2048 voice ids, from 128 on
  std::size_t max_points() const { return 4 * file_.data.size() + (1u << 20); }

  struct Placed {
    int voice;      // index into voices()
    int semitones;  // from the class rate to the zone's pitch, whole
  };
  Placed voice_for(const KeyZone& zone);

  std::vector<bank::VoiceFile>& voices() { return voices_; }

 private:
  using Key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, bool, int, std::uint16_t>;
  const Sf2File& file_;
  std::optional<int> rate_class_;
  std::map<Key, int> made_;
  std::vector<bank::VoiceFile> voices_;
  std::size_t points_ = 0;
};

}  // namespace kvt::soundfont
