// The library's user interface on a terminal: message boxes become lines
// on stderr, the progress dialog a status line, a stop signal its cancel
// button, the visual player's window a picture above the status line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kvt/player.h"

namespace kvt::cli {

struct TerminalSize {
  int columns;
  int lines;
  bool operator==(const TerminalSize&) const = default;
};

class TerminalUi {
 public:
  TerminalUi();
  ~TerminalUi();  // restores the library's default and the terminal's state
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  bool message_shown() const { return message_shown_; }
  // A status line of the command's own. It is shown on a terminal only,
  // redrawn in place and cut to the terminal's width.
  void status(const std::string& text) { draw(text); }
  // A line of its own on stderr, above the status line, which stays.
  void note(const std::string& text);
  // Ends the status line and the picture, so that the next output starts
  // on a line of its own below them, with the cursor shown.
  void close_status();

  // How much a picture may fill, asked anew each time so that a resized
  // window is followed; nothing when stderr is no terminal.
  std::optional<TerminalSize> picture_size() const;
  // Lines above the status line, each within picture_size(): they replace
  // the picture drawn last, in place.
  void picture(const std::vector<std::string>& lines);

 private:
  static void on_message(void* self, const char* text, int icon);
  static void on_progress(void* self, const char* text);
  static int on_cancel(void* self);
  static void on_finished(void* self);
  void draw(const std::string& text);

  bool tty_;
  bool message_shown_ = false;
  bool line_open_ = false;
  std::string status_shown_;  // drawn again below a new picture
  std::size_t picture_lines_ = 0;
  bool cursor_hidden_ = false;
};

}  // namespace kvt::cli
