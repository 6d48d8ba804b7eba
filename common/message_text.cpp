#include "message_text.h"

#include <cstdio>
#include <cstring>

namespace kvt {

void append_text(char* text, std::size_t size, const char* bytes, std::size_t count) {
  if (text == nullptr || size == 0 || count == 0) return;
  const std::size_t used = strnlen(text, size - 1);
  const std::size_t room = size - 1 - used;
  const std::size_t n = count < room ? count : room;
  std::memcpy(text + used, bytes, n);
  text[used + n] = '\0';
}

void append_vformat(char* text, std::size_t size, const char* format, va_list args) {
  char Msg[256];
  const int n = std::vsnprintf(Msg, sizeof Msg, format, args);
  if (n > 0) append_text(text, size, Msg, static_cast<std::size_t>(n) < sizeof Msg ? n : sizeof Msg - 1);
}

}  // namespace kvt
