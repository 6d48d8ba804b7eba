// A rendering, a WAVE file of the player's own rate, made into the file the
// user asked for: another rate (resampled) and another format (encoded).
#pragma once

#include <functional>
#include <string>

#include "audio_format.h"
#include "messages.h"

namespace kvt::frontend {

struct ExportSettings {
  AudioFormat format = AudioFormat::wave;
  int rate = 44100;  // Hz of the output; the rendering's own rate or another
};

// Told the share done, in percent, now and then; false stops the export.
using ExportProgress = std::function<bool(int percent)>;

// Writes the rendering `wave` as the new file `out` (which the caller
// keeps or removes: a half-written one is never final). The sample size
// stays the rendering's, 8 or 16 bits, in a lossless format. Not ok with
// no message when `progress` stopped it; else an error names the file.
Outcome export_audio(const std::string& wave, const std::string& out, const ExportSettings& settings,
                     const ExportProgress& progress);

}  // namespace kvt::frontend
