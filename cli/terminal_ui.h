// The library's user interface on a terminal: message boxes become lines
// on stderr, the progress dialog a status line, a stop signal its cancel
// button.
#pragma once

#include <string>

#include "kvt/player.h"

namespace kvt::cli {

class TerminalUi {
 public:
  TerminalUi();
  ~TerminalUi();  // restores the library's default
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  bool message_shown() const { return message_shown_; }
  // A status line of the command's own. It is shown on a terminal only,
  // redrawn in place and cut to the terminal's width.
  void status(const std::string& text) { draw(text); }
  // Ends the status line so that the next output starts on a line of its own.
  void close_status();

 private:
  static void on_message(void* self, const char* text, int icon);
  static void on_progress(void* self, const char* text);
  static int on_cancel(void* self);
  static void on_finished(void* self);
  void draw(const std::string& text);

  bool tty_;
  bool message_shown_ = false;
  bool line_open_ = false;
};

}  // namespace kvt::cli
