#include "object_writer.h"

#include <cstring>

#include "error_report.h"

namespace kvt::compiler {
namespace {

constexpr int kAbsent = 0xFFFF;

int peek16(const Compiler& c, int at) { return c.objdata[at] | (c.objdata[at + 1] << 8); }

}  // namespace

void need_room(Compiler& c, int count) {
  if (c.objp + count > kObjectSize) error(c, 0);
}

void put(Compiler& c, int byte) {
  need_room(c, 1);
  c.objdata[c.objp++] = static_cast<std::uint8_t>(byte);
}

void put16(Compiler& c, int word) {
  put(c, word);
  put(c, word >> 8);
}

void put32(Compiler& c, std::uint32_t dword) {
  put16(c, static_cast<int>(dword & 0xFFFF));
  put16(c, static_cast<int>(dword >> 16));
}

void skip(Compiler& c) {
  need_room(c, 1);
  ++c.objp;
}

void poke(Compiler& c, int at, int byte) { c.objdata[at] = static_cast<std::uint8_t>(byte); }

void poke16(Compiler& c, int at, int word) {
  poke(c, at, word);
  poke(c, at + 1, word >> 8);
}

int insobj(Compiler& c, int pos, int n) {
  if (c.objp + n >= kObjectSize) error(c, 0);
  std::memmove(c.objdata.data() + pos + n, c.objdata.data() + pos, static_cast<std::size_t>(c.objp - pos));
  for (int part = 0; part < kParts; ++part) {
    const int at = kPartTable + 2 * part;
    const int entry = peek16(c, at);
    if (entry != kAbsent && entry > pos) poke16(c, at, entry + n);
  }
  c.objp += n;
  return c.objp;
}

}  // namespace kvt::compiler
