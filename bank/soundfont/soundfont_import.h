// A voice bank made from a SoundFont: voice files for the samples that the
// chosen presets play, and the configuration that maps the General MIDI
// programs (bank 0 presets) and drum kits (bank 128 presets) onto them.
#pragma once

#include <functional>
#include <optional>

#include "config_file.h"
#include "preset_list.h"
#include "sf2_file.h"
#include "voice_file.h"

namespace kvt::soundfont {

struct ImportOptions {
  PresetList presets;
  std::optional<int> rate_class;                      // none: each sample's own
  std::function<void(int done, int total)> progress;  // by preset
};

struct ImportedBank {
  std::vector<bank::VoiceFile> voices;  // PCM voice kFirstVoice + i
  bank::Config config;
  int programs = 0;   // melodic presets imported
  int drum_keys = 0;  // keys with a voice, over all kits
};

inline constexpr int kFirstVoice = 128;  // voice numbers below stay free, as in the built-in bank

// Throws Sf2Error when the chosen presets give nothing to import.
ImportedBank import_soundfont(const Sf2File& file, const ImportOptions& options);

}  // namespace kvt::soundfont
