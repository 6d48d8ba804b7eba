// Telling UTF-8 text from Shift-JIS: titles and names may hold either, and
// only valid UTF-8 may be shown or cut as such.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kvt {

struct Utf8Character {
  char32_t code;
  std::size_t length;  // in bytes
};

// The character that `text` starts with, or nothing when it starts with a
// byte that begins no valid UTF-8 character.
std::optional<Utf8Character> first_utf8_character(std::string_view text);

bool is_utf8(std::string_view text);

// The longest prefix of valid UTF-8 `text` of at most `limit` bytes that
// ends between characters.
std::size_t utf8_prefix(std::string_view text, std::size_t limit);

}  // namespace kvt
