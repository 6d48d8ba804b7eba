// Writing into the 48000-byte object buffer. Every write is checked: an
// object that would not fit is the out-of-memory error.
#pragma once

#include <cstdint>

#include "compiler_context.h"

namespace kvt::compiler {

// Error 0 unless `count` more bytes fit at the write position.
void need_room(Compiler& c, int count);

void put(Compiler& c, int byte);  // the low 8 bits
void put16(Compiler& c, int word);
void put32(Compiler& c, std::uint32_t dword);
void skip(Compiler& c);  // leaves one byte 0xFF

void poke(Compiler& c, int at, int byte);
void poke16(Compiler& c, int at, int word);

// Opens `n` bytes at `pos` by moving the object from there to the write
// position up; part offsets behind `pos` move along. Returns the new end.
int insobj(Compiler& c, int pos, int n);

}  // namespace kvt::compiler
