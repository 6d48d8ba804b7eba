// The whole bank: its voice files and the configuration that maps voice
// numbers, General MIDI programs and drum keys onto them.
#pragma once

#include <vector>

#include "config_file.h"
#include "voice_file.h"

namespace kvt::bank {

inline constexpr int kFirstPcmVoice = 128;  // voice numbers below are the programs' split lists

struct Bank {
  std::vector<VoiceFile> voices;  // PCM voice kFirstPcmVoice + i
  Config config;
};

Bank make_bank();

}  // namespace kvt::bank
