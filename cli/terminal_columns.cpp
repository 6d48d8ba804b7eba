#include "terminal_columns.h"

#include <algorithm>
#include <cstdint>

#include "utf8_text.h"

namespace kvt::cli {
namespace {

struct Range {
  char32_t first, last;
};

// Unicode's East Asian Wide and Fullwidth blocks.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Marks drawn over the character before them (the kana voicing marks among
// them) and invisible joiners.
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x200B, 0x200F}, {0x3099, 0x309A}, {0xFE00, 0xFE0F},
};

template <std::size_t N>
bool in(const Range (&ranges)[N], char32_t c) {
  for (const Range& r : ranges) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

int columns_of(char32_t c) {
  if (in(kZeroWidth, c)) return 0;
  return in(kWide, c) ? 2 : 1;
}

// The longest start of `text` within `columns` columns: its bytes and the
// columns it takes.
struct Fit {
  std::size_t bytes = 0;
  int columns = 0;
};

Fit fit(std::string_view text, int columns) {
  Fit f;
  while (f.bytes < text.size()) {
    // A byte that starts no character stands for itself.
    const Utf8Character c =
        first_utf8_character(text.substr(f.bytes)).value_or(Utf8Character{static_cast<std::uint8_t>(text[f.bytes]), 1});
    const int width = columns_of(c.code);
    if (f.columns + width > columns) break;
    f.columns += width;
    f.bytes += c.length;
  }
  return f;
}

}  // namespace

std::string_view fit_columns(std::string_view text, int columns) { return text.substr(0, fit(text, columns).bytes); }

std::string pad_columns(std::string_view text, int columns) {
  const Fit f = fit(text, columns);
  std::string padded(text.substr(0, f.bytes));
  padded.append(static_cast<std::size_t>(std::max(columns - f.columns, 0)), ' ');
  return padded;
}

}  // namespace kvt::cli
