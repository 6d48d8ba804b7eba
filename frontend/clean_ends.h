// How songs end for a listener, unless the exact output is asked for: a
// voice cut off by the end of its part fades out over a few milliseconds,
// and the effects' tails die away after the song instead of stopping.
#pragma once

#include "kvt/player.h"

namespace kvt::frontend {

// `loop`: passes through a looping song before its fade-out; 0 leaves
// them to the play settings.
kvt_output_options clean_ends(int loop);

}  // namespace kvt::frontend
