// What a terminal shows after the bytes a command wrote to it: enough of a
// terminal (in raw mode, with automatic wrap) to check in-place redraws as
// the user sees them. It has no bottom, so it never scrolls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvt::test {

class TerminalScreen {
 public:
  TerminalScreen(int columns, std::string_view shown);

  // The text of each line, to where it was last cleared or written.
  std::vector<std::string> lines() const;
  // The columns of line `line` shown in reverse video.
  std::vector<int> reversed(int line) const;
  int cursor_line() const { return line_; }
  bool cursor_shown() const { return cursor_shown_; }
  // No attribute is left on for what is written next.
  bool attributes_plain() const { return !reverse_; }
  // The first line that starts with `text`, or -1.
  int find_line(std::string_view text) const;

 private:
  // A character cell; the second cell of a wide character holds no text.
  struct Cell {
    std::string text = " ";
    bool reverse = false;
  };

  void control(std::string_view parameters, char command);
  void put(std::string_view character, int width);
  std::vector<Cell>& row();

  int columns_;
  std::vector<std::vector<Cell>> rows_;
  int line_ = 0;
  int column_ = 0;
  bool wrap_pending_ = false;  // the last column was written: the next character goes to the next line
  bool reverse_ = false;
  bool cursor_shown_ = true;
};

}  // namespace kvt::test
