#include "terminal_screen.h"

#include <algorithm>

namespace kvt::test {
namespace {

constexpr char kEscape = '\033';

bool final_byte(char c) { return c >= 0x40 && c <= 0x7E; }

// The numbers of a control sequence ("7", "0;7", ""), an empty one as 0.
std::vector<int> numbers(std::string_view parameters) {
  std::vector<int> values{0};
  for (const char c : parameters) {
    if (c == ';') {
      values.push_back(0);
    } else if (c >= '0' && c <= '9') {
      values.back() = values.back() * 10 + (c - '0');
    }
  }
  return values;
}

}  // namespace

TerminalScreen::TerminalScreen(int columns, std::string_view shown) : columns_(columns) {
  for (std::size_t at = 0; at < shown.size();) {
    const char c = shown[at];
    if (c == kEscape && at + 1 < shown.size() && shown[at + 1] == '[') {
      std::size_t end = at + 2;
      while (end < shown.size() && !final_byte(shown[end])) ++end;
      if (end == shown.size()) break;  // the rest is still on its way
      control(shown.substr(at + 2, end - at - 2), shown[end]);
      at = end + 1;
    } else if (c == '\r') {
      column_ = 0;
      ++at;
    } else if (c == '\n') {
      ++line_;  // raw mode: the column stays
      ++at;
    } else {
      const auto lead = static_cast<unsigned char>(c);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      // The tests' texts are ASCII and kana, whose three bytes take two columns.
      put(shown.substr(at, length), length >= 3 ? 2 : 1);
      at += length;
    }
  }
}

void TerminalScreen::control(std::string_view parameters, char command) {
  const std::vector<int> n = numbers(parameters);
  switch (command) {
    case 'A': line_ = std::max(0, line_ - std::max(n[0], 1)); break;
    case 'K': row().resize(std::min<std::size_t>(row().size(), column_)); break;
    case 'J':
      row().resize(std::min<std::size_t>(row().size(), column_));
      rows_.resize(line_ + 1);
      break;
    case 'm':
      for (const int attribute : n) {
        if (attribute == 7) reverse_ = true;
        if (attribute == 0 || attribute == 27) reverse_ = false;
      }
      break;
    case 'h':
    case 'l':
      if (parameters == "?25") cursor_shown_ = command == 'h';
      break;
    default: break;
  }
}

void TerminalScreen::put(std::string_view character, int width) {
  if (column_ + width > columns_) {  // automatic wrap
    ++line_;
    column_ = 0;
  }
  std::vector<Cell>& r = row();
  if (r.size() < static_cast<std::size_t>(column_ + width)) r.resize(column_ + width);
  r[column_] = Cell{std::string(character), reverse_};
  if (width == 2) r[column_ + 1] = Cell{"", reverse_};
  column_ += width;
}

std::vector<TerminalScreen::Cell>& TerminalScreen::row() {
  if (rows_.size() <= static_cast<std::size_t>(line_)) rows_.resize(line_ + 1);
  return rows_[line_];
}

std::vector<std::string> TerminalScreen::lines() const {
  std::vector<std::string> texts;
  for (const auto& r : rows_) {
    std::string text;
    for (const Cell& cell : r) text += cell.text;
    texts.push_back(text);
  }
  return texts;
}

std::vector<int> TerminalScreen::reversed(int line) const {
  std::vector<int> columns;
  if (line < 0 || static_cast<std::size_t>(line) >= rows_.size()) return columns;
  for (std::size_t c = 0; c < rows_[line].size(); ++c) {
    if (rows_[line][c].reverse) columns.push_back(static_cast<int>(c));
  }
  return columns;
}

int TerminalScreen::find_line(std::string_view text) const {
  const std::vector<std::string> texts = lines();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].compare(0, text.size(), text) == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kvt::test
