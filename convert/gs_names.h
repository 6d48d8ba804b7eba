// The names a format 0 song gives its channels in the track view: the GS
// sound set's instrument names by program, and its drum kit names.
#pragma once

namespace kvt::convert {

// 16 characters, space-padded, no terminator needed by the caller.
const char* gs_instrument_name(int program);
const char* gs_kit_name(int program);

}  // namespace kvt::convert
