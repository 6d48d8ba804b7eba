#include "messages.h"

#include <cstdarg>

#include "message_text.h"

namespace kvt::compiler {

void append_bytes(Compiler& c, const char* bytes, std::size_t count) { append_text(c.text, c.text_size, bytes, count); }

void append(Compiler& c, const char* format, ...) {
  va_list args;
  va_start(args, format);
  append_vformat(c.text, c.text_size, format, args);
  va_end(args);
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
