// The song data around the parts: the voice list, the key table and the
// header.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

// After the last part: resolves waits, then writes the voice records and
// the key table. The object ends at the write position.
void write_trailing_tables(Compiler& c);

void write_header(Compiler& c);

}  // namespace kvt::compiler
