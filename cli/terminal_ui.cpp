#include "terminal_ui.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>

#include "display_text.h"

namespace kvt::cli {
namespace {

volatile std::sig_atomic_t interrupt_seen = 0;

extern "C" void note_interrupt(int) { interrupt_seen = 1; }

constexpr int kBarWidth = 12;

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

}  // namespace

TerminalUi::TerminalUi() : tty_(isatty(STDERR_FILENO) != 0) {
  interrupt_seen = 0;
  previous_handler_ = std::signal(SIGINT, note_interrupt);
  const kvt_host_ui ui{this, on_message, on_progress, on_cancel, on_finished};
  kvt_set_host_ui(&ui);
}

TerminalUi::~TerminalUi() {
  kvt_set_host_ui(nullptr);
  std::signal(SIGINT, previous_handler_);
}

bool TerminalUi::interrupted() const { return interrupt_seen != 0; }

void TerminalUi::draw(const std::string& text) {
  last_ = text;
  if (!tty_) return;
  std::fprintf(stderr, "\r\033[K%s%s", activity_bar().c_str(), text.c_str());
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
  std::fprintf(stderr, "kvt: %s\n", to_utf8(text).c_str());
  ui->message_shown_ = true;
}

void TerminalUi::on_progress(void* self, const char* text) {
  // The field may hold several lines; the status line shows them in one.
  std::string line = to_utf8(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  static_cast<TerminalUi*>(self)->draw(line);
}

int TerminalUi::on_cancel(void*) { return interrupt_seen != 0 ? 1 : 0; }

void TerminalUi::on_finished(void* self) {
  auto* ui = static_cast<TerminalUi*>(self);
  if (ui->line_open_) {
    std::fputc('\n', stderr);
  } else if (!ui->last_.empty()) {
    std::fprintf(stderr, "%s\n", ui->last_.c_str());
  }
  ui->line_open_ = false;
}

}  // namespace kvt::cli
