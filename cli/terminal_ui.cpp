#include "terminal_ui.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "display_text.h"
#include "progress_text.h"
#include "stop_signals.h"
#include "terminal_columns.h"

namespace kvt::cli {
namespace {

constexpr int kBarWidth = 12;
constexpr int kUsualColumns = 80;  // when the terminal does not say
constexpr int kUsualLines = 24;

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
TerminalSize terminal_size() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) size = {};
  return {size.ws_col > 0 ? size.ws_col : kUsualColumns, size.ws_row > 0 ? size.ws_row : kUsualLines};
}

}  // namespace

TerminalUi::TerminalUi() : tty_(isatty(STDERR_FILENO) != 0) {
  const kvt_host_ui ui{this, on_message, on_progress, on_cancel, on_finished};
  kvt_set_host_ui(&ui);
}

TerminalUi::~TerminalUi() {
  close_status();
  kvt_set_host_ui(nullptr);
}

void TerminalUi::draw(const std::string& text) {
  if (!tty_) return;
  // A wrapped line could not be redrawn in place, so it is cut; the last
  // column stays free because some terminals wrap as soon as it is written.
  const std::string line = activity_bar() + text;
  status_shown_ = fit_columns(line, terminal_size().columns - 1);
  std::fprintf(stderr, "\r%s\033[K", status_shown_.c_str());
  std::fflush(stderr);
  line_open_ = true;
}

void TerminalUi::note(const std::string& text) {
  if (!line_open_) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return;
  }
  std::fprintf(stderr, "\r\033[K%s\n%s", text.c_str(), status_shown_.c_str());
  std::fflush(stderr);
}

void TerminalUi::close_status() {
  if (line_open_) std::fputc('\n', stderr);
  line_open_ = false;
  picture_lines_ = 0;
  if (cursor_hidden_) std::fputs("\033[0m\033[?25h", stderr);
  cursor_hidden_ = false;
}

std::optional<TerminalSize> TerminalUi::picture_size() const {
  if (!tty_) return std::nullopt;
  const TerminalSize whole = terminal_size();
  // The last column stays free as on the status line, and the last line holds the status line.
  return TerminalSize{whole.columns - 1, whole.lines - 1};
}

void TerminalUi::picture(const std::vector<std::string>& lines) {
  if (!tty_) return;
  // Hidden, the cursor does not flit over the keys at every redraw.
  std::string frame = cursor_hidden_ ? "\r" : "\033[?25l\r";
  if (picture_lines_ > 0) frame += "\033[" + std::to_string(picture_lines_) + "A";
  for (const std::string& line : lines) frame += line + "\033[K\r\n";
  // Below it the status line as it was, and nothing left of a taller picture.
  if (line_open_) frame += status_shown_;
  frame += "\033[J";
  std::fwrite(frame.data(), 1, frame.size(), stderr);
  std::fflush(stderr);
  picture_lines_ = lines.size();
  cursor_hidden_ = true;
}

void TerminalUi::on_message(void* self, const char* text, int) {
  auto* ui = static_cast<TerminalUi*>(self);
  ui->close_status();
  std::fprintf(stderr, "kvt: %s\n", frontend::to_utf8(text).c_str());
  ui->message_shown_ = true;
}

void TerminalUi::on_progress(void* self, const char* text) {
  static_cast<TerminalUi*>(self)->draw(progress_line(text));
}

int TerminalUi::on_cancel(void*) { return stop_signal() != 0 ? 1 : 0; }

void TerminalUi::on_finished(void* self) { static_cast<TerminalUi*>(self)->close_status(); }

}  // namespace kvt::cli
