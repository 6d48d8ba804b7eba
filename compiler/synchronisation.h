// Waits and sends do not exist in song data: after all parts are
// compiled, each wait becomes a rest that lasts until its send.
#pragma once

#include "compiler_context.h"

namespace kvt::compiler {

// Resolves every wait and appends the waiting parts' new lengths.
void synchronise(Compiler& c);

}  // namespace kvt::compiler
