// The melodic instruments of the bank. Each is made twice, a low sample
// (nominal C3) and a high one (nominal C5), which the configuration splits
// at middle C. Bright ones get a third, band-limited copy of the high sample
// for the top two octaves, which would fold the high one's partials back.
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
  bool top_voice = false;  // a third file, id + "_t", from C6 up
};

// The highest key the high sample plays and the first the top one plays.
inline constexpr int kTopSplitKey = 84;
// The top sample plays at most this many times its pitch (up to C7).
inline constexpr double kTopVoiceRatio = 4;

const std::vector<Instrument>& instruments();

// The voice files of an instrument: low, high and, if it has one, top.
std::vector<VoiceFile> instrument_voices(const Instrument& instrument, std::uint32_t seed);

}  // namespace kvt::bank
