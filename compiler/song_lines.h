// The lines that set up the whole song: tempo, voices and title.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

// The first "T" line: tempo and whole-note length.
void read_tempo_line(Compiler& c);
// The "V" lines: voice files named in the source, with their keys.
void read_voice_lines(Compiler& c);
// The first "!" line, written as the title block at the write position.
void write_title(Compiler& c);

}  // namespace kvt::compiler
