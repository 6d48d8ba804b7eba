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

bool is_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const int extra = continuation_bytes(static_cast<std::uint8_t>(text[i]));
    if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      if (!is_continuation(text[i + k])) return false;
    }
    i += extra + 1;
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
