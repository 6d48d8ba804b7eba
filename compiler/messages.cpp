#include "messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kvt::compiler {

void append_bytes(Compiler& c, const char* bytes, std::size_t count) {
  if (c.text == nullptr || c.text_size == 0) return;
  const std::size_t used = strnlen(c.text, c.text_size - 1);
  const std::size_t room = c.text_size - 1 - used;
  const std::size_t n = count < room ? count : room;
  std::memcpy(c.text + used, bytes, n);
  c.text[used + n] = '\0';
}

void append(Compiler& c, const char* format, ...) {
  char Msg[256];  // one message at a time, as formatted before appending
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(Msg, sizeof Msg, format, args);
  va_end(args);
  if (n > 0) append_bytes(c, Msg, static_cast<std::size_t>(n) < sizeof Msg ? n : sizeof Msg - 1);
}

void end_progress_entry(Compiler& c) {
  append(c, c.putcnt == 0 ? "  " : "\n");
  c.putcnt ^= 1;
}

void end_progress(Compiler& c) {
  if (c.putcnt == 1) append(c, "\n");
  c.putcnt = 0;
}

}  // namespace kvt::compiler
