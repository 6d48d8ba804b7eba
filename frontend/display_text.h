// Text from the libraries (Shift-JIS bytes, or UTF-8 where a file held it)
// made showable as UTF-8, on a terminal or in a window.
#pragma once

#include <string>
#include <string_view>

namespace kvt::frontend {

// Line by line: valid UTF-8 comes back as it is; anything else is read as
// CP932.
std::string to_utf8(std::string_view bytes);

}  // namespace kvt::frontend
