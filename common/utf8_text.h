// Telling UTF-8 text from Shift-JIS: titles and names may hold either, and
// only valid UTF-8 may be shown or cut as such.
#pragma once

#include <cstddef>
#include <string_view>

namespace kvt {

bool is_utf8(std::string_view text);

// The longest prefix of valid UTF-8 `text` of at most `limit` bytes that
// ends between characters.
std::size_t utf8_prefix(std::string_view text, std::size_t limit);

}  // namespace kvt
