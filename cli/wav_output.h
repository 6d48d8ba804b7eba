// Where `kvt wav` puts a rendering. A WAVE file at a rate the player renders
// is written by the player itself; any other output (another format or
// rate, or standard output) is made afterwards from a rendering in scratch
// space, so that the rendering code stays one.
#pragma once

#include <optional>
#include <string>

#include "audio_format.h"
#include "job_view.h"

namespace kvt::cli {

struct WavOutput {
  std::string path;  // the file, or kStandardOutput
  frontend::AudioFormat format;
  int rate;  // Hz

  // The format asked for, else the one of the path's extension; the rate
  // asked for (0: none), else the format's own.
  WavOutput(std::string path, std::optional<frontend::AudioFormat> format, int rate);

  bool to_stdout() const;
  // The player writes the output itself.
  bool rendered_as_is() const;
  // The rate the player renders at for it.
  int render_rate() const;
};

// Makes the finished rendering `wave` into `output`, through a fresh file
// (beside the output, or in `scratch` for standard output), so that an
// earlier file stays whole until the new one is. With `stoppable` a stop
// signal ends the work. False after saying why on stderr, or when stopped.
bool deliver(const std::string& wave, const WavOutput& output, const std::string& scratch, JobView& view,
             bool stoppable);

}  // namespace kvt::cli
