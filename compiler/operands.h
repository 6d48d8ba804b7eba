// Reading a command's numbers and emitting them as its operands.
#pragma once

#include <initializer_list>

#include "compiler_context.h"

namespace kvt::compiler {

struct Operand {
  int lower, upper;
  int width = 1;  // bytes in the object, little-endian
};

// Reads and emits each operand in turn.
void put_operands(Compiler& c, std::initializer_list<Operand> operands);

// The tick period of a tempo in beats per minute.
int tempo_word(const Compiler& c, int bpm);

}  // namespace kvt::compiler
