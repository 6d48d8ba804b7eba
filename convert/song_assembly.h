// The song data file: the header skeleton written first, and the parts,
// voice list, title and key table put together after the last event.
#pragma once

#include "converter_context.h"

namespace kvt::convert {

void write_header_skeleton(Converter& c);
void assemble_song(Converter& c);

}  // namespace kvt::convert
