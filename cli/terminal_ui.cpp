#include "terminal_ui.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "display_text.h"
#include "stop_signals.h"
#include "terminal_columns.h"

namespace kvt::cli {
namespace {

constexpr int kBarWidth = 12;
constexpr int kUsualColumns = 80;  // when the terminal does not say

// A block that sweeps to and fro: work goes on, of unknown length.
std::string activity_bar() {
  using namespace std::chrono;
  const auto frame = static_cast<unsigned>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() / 80);
  const unsigned span = kBarWidth - 3;
  const unsigned step = frame % (2 * span);
  const unsigned at = step < span ? step : 2 * span - step;
  std::string bar(kBarWidth, ' ');
  bar.replace(at, 3, "###");
  return "[" + bar + "] ";
}

// Asked at every redraw, so that a resized window is followed.
int terminal_width() {
  winsize size{};
  return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : kUsualColumns;
}

}  // namespace

TerminalUi::TerminalUi() : tty_(isatty(STDERR_FILENO) != 0) {
  const kvt_host_ui ui{this, on_message, on_progress, on_cancel, on_finished};
  kvt_set_host_ui(&ui);
}

TerminalUi::~TerminalUi() { kvt_set_host_ui(nullptr); }

void TerminalUi::draw(const std::string& text) {
  if (!tty_) return;
  // A wrapped line could not be redrawn in place, so it is cut; the last
  // column stays free because some terminals wrap as soon as it is written.
  const std::string line = activity_bar() + text;
  const std::string_view shown = fit_columns(line, terminal_width() - 1);
  std::fprintf(stderr, "\r%.*s\033[K", static_cast<int>(shown.size()), shown.data());
  std::fflush(stderr);
  line_open_ = true;
}

void TerminalUi::close_status() {
  if (line_open_) std::fputc('\n', stderr);
  line_open_ = false;
}

void TerminalUi::on_message(void* self, const char* text, int) {
  auto* ui = static_cast<TerminalUi*>(self);
  ui->close_status();
  std::fprintf(stderr, "kvt: %s\n", frontend::to_utf8(text).c_str());
  ui->message_shown_ = true;
}

void TerminalUi::on_progress(void* self, const char* text) {
  // The field may hold several lines; the status line shows them in one.
  std::string line = frontend::to_utf8(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  static_cast<TerminalUi*>(self)->draw(line);
}

int TerminalUi::on_cancel(void*) { return stop_signal() != 0 ? 1 : 0; }

void TerminalUi::on_finished(void* self) { static_cast<TerminalUi*>(self)->close_status(); }

}  // namespace kvt::cli
