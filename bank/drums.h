// The drum voices of the bank: one-shot samples made from tuned sweeps and
// filtered noise.
#pragma once

#include <vector>

#include "voice_file.h"

namespace kvt::bank {

struct DrumVoice {
  VoiceFile voice;
  const char* description;
};

std::vector<DrumVoice> drum_voices();

}  // namespace kvt::bank
