#include "messages.h"

#include <cstdarg>

#include "message_text.h"

namespace kvt::convert {

void Messages::append(const char* format, ...) {
  va_list args;
  va_start(args, format);
  append_vformat(text, size, format, args);
  va_end(args);
}

void Messages::append_bytes(const char* bytes, std::size_t count) { append_text(text, size, bytes, count); }

void Messages::repaint(bool erase) const {
  if (view != nullptr && view->repaint != nullptr) view->repaint(view->user, erase ? 1 : 0);
}

}  // namespace kvt::convert
