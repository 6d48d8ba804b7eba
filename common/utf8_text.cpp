#include "utf8_text.h"

#include <cstdint>

namespace kvt {
namespace {

int continuation_bytes(std::uint8_t lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return -1;
}

bool is_continuation(char c) { return (static_cast<std::uint8_t>(c) & 0xC0) == 0x80; }

}  // namespace

std::optional<Utf8Character> first_utf8_character(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const auto lead = static_cast<std::uint8_t>(text[0]);
  const int extra = continuation_bytes(lead);
  if (extra < 0 || text.size() <= static_cast<std::size_t>(extra)) return std::nullopt;
  char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if (!is_continuation(text[k])) return std::nullopt;
    code = code << 6 | (static_cast<std::uint8_t>(text[k]) & 0x3F);
  }
  return Utf8Character{code, static_cast<std::size_t>(extra) + 1};
}

bool is_utf8(std::string_view text) {
  while (!text.empty()) {
    const auto c = first_utf8_character(text);
    if (!c) return false;
    text.remove_prefix(c->length);
  }
  return true;
}

std::size_t utf8_prefix(std::string_view text, std::size_t limit) {
  if (limit >= text.size()) return text.size();
  std::size_t end = limit;
  while (end > 0 && is_continuation(text[end])) --end;
  return end;
}

}  // namespace kvt
