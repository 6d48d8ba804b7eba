// Appending to a caller's NUL-terminated message buffer of a known size:
// what does not fit is cut off, and the terminator always stays inside.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace kvt {

void append_text(char* text, std::size_t size, const char* bytes, std::size_t count);

// printf-style, one message of at most 255 bytes at a time.
void append_vformat(char* text, std::size_t size, const char* format, va_list args);

}  // namespace kvt
