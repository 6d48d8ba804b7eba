// The library's user interface on a terminal: message boxes become lines
// on stderr, the progress dialog a status line, Ctrl-C its cancel button.
#pragma once

#include <string>

#include "kvt/player.h"

namespace kvt::cli {

class TerminalUi {
 public:
  TerminalUi();
  ~TerminalUi();  // restores the interrupt handler and the library's default
  TerminalUi(const TerminalUi&) = delete;
  TerminalUi& operator=(const TerminalUi&) = delete;

  bool message_shown() const { return message_shown_; }
  bool interrupted() const;
  // A status line of the command's own (shown on a terminal only).
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
  std::string last_;
  void (*previous_handler_)(int);
};

}  // namespace kvt::cli
