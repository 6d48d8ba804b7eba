// The compiler's one way out of a failed compilation: the message of the
// error code, the line and part, the marked source line, and the release
// of every buffer in use.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

// Thrown by error(); the entry point catches it and returns 1.
struct CompileError {
  int ecode;
};

[[noreturn]] void error(Compiler& c, int ecode);
// An error marked at the current command, for errors found after reading
// on past it (possibly onto a later line).
[[noreturn]] void command_error(Compiler& c, int ecode);

}  // namespace kvt::compiler
