// Text from the libraries (Shift-JIS bytes, or UTF-8 where a file held it)
// made showable as UTF-8, on a terminal or in a window.
#pragma once

#include <string>
#include <string_view>

namespace kvt::frontend {

// Line by line: valid UTF-8 comes back as it is; anything else is read as
// CP932.
std::string to_utf8(std::string_view bytes);

// Text typed in the program made into the bytes that files and libraries
// hold: CP932 when every character has a code there, else the UTF-8 as it
// is (so nothing typed is ever lost).
std::string to_shift_jis(std::string_view utf8);

}  // namespace kvt::frontend
