// The melodic instruments of the bank. Each is made twice, a low sample
// (nominal C3) and a high one (nominal C5), which the configuration splits
// at middle C.
#pragma once

#include <vector>

#include "voice_file.h"
#include "waveforms.h"

namespace kvt::bank {

struct Instrument {
  const char* id;  // at most 6 characters; the files are id + "_l" and id + "_h"
  const char* description;
  bool plucked;
  ToneSpec tone;
  PluckSpec pluck;
  EnvelopeShape envelope;
};

const std::vector<Instrument>& instruments();

// The two voice files of an instrument: low first.
std::vector<VoiceFile> instrument_voices(const Instrument& instrument, std::uint32_t seed);

}  // namespace kvt::bank
