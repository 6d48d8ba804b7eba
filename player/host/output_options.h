// The output options beyond the play settings, as the host uses them.
#pragma once

#include "kvt/player.h"

namespace kvt::host {

struct OutputOptions {
  bool clean_end = false;  // soft part ends, and the effect tails after the song's end
  int loop = 0;            // passes before the closing fade-out; 0: the play settings' rule
  unsigned long start_ms = 0;  // where real-time playback starts in the song
};

// The caller's options, fields beyond its `size` at their defaults; NULL
// gives the defaults.
OutputOptions read_output_options(const kvt_output_options* options);

}  // namespace kvt::host
