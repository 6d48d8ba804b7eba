// The meta events that reach the song: tempo, time signature and track
// names (the first name of track 0 is the title).
#pragma once

#include "converter_context.h"

namespace kvt::convert {

// Called with the input after the type byte.
void song_meta_event(Converter& c, int type);

}  // namespace kvt::convert
