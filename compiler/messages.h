// Appending to the caller's message buffer.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

// Formats like printf and appends; what does not fit is cut off.
void append(Compiler& c, const char* format, ...) __attribute__((format(printf, 2, 3)));
void append_bytes(Compiler& c, const char* bytes, std::size_t count);

// Ends one entry of a progress table; two entries share a line.
void end_progress_entry(Compiler& c);
// Ends a progress table, closing a half-filled line.
void end_progress(Compiler& c);

}  // namespace kvt::compiler
