#include "batch_board.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>

#include "atomic_file.h"
#include "terminal_columns.h"

namespace kvt::cli {
namespace {

// Often enough to follow a rendering, seldom enough not to flood a slow terminal.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kUsualColumns = 80;

int columns_of(int fd) {
  winsize size{};
  return ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : kUsualColumns;
}

void write_text(int fd, const std::string& text) {
  write_all(fd, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace

class BatchBoard::SlotView : public JobView {
 public:
  SlotView(BatchBoard& board, int slot) : board_(board), slot_(slot) {}
  void status(const std::string& text) override { board_.set_status(slot_, text); }
  void close_status() override {}

  std::string name;
  std::string text;  // empty while no job runs in the slot

 private:
  BatchBoard& board_;
  int slot_;
};

BatchBoard::BatchBoard(int slots) {
  for (int i = 0; i < slots; ++i) slots_.push_back(std::make_unique<SlotView>(*this, i));
  if (isatty(STDERR_FILENO) == 0) return;
  // Messages written straight to stderr by any thread would land inside the
  // job lines; they go through a pipe and are written above them instead.
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) return;
  terminal_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  std::fflush(stderr);
  if (terminal_ < 0 || dup2(pipe_ends[1], STDERR_FILENO) < 0) {
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    if (terminal_ >= 0) close(terminal_);
    terminal_ = -1;
    return;
  }
  close(pipe_ends[1]);
  messages_ = pipe_ends[0];
  reader_ = std::thread([this] { pass_messages(); });
}

BatchBoard::~BatchBoard() {
  if (terminal_ < 0) return;
  std::fflush(stderr);
  dup2(terminal_, STDERR_FILENO);  // closes the pipe's last writing end: the reader ends
  reader_.join();
  close(messages_);
  const std::lock_guard lock(mutex_);
  erase();
  close(terminal_);
}

void BatchBoard::pass_messages() {
  std::string pending;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(messages_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      print(stderr, pending.substr(0, end));
    }
  }
  if (!pending.empty()) print(stderr, pending);
}

JobView& BatchBoard::start(int slot, const std::string& name) {
  SlotView& view = *slots_[static_cast<std::size_t>(slot)];
  {
    const std::lock_guard lock(mutex_);
    view.name = name;
  }
  set_status(slot, "starting");
  return view;
}

void BatchBoard::finish(int slot) { set_status(slot, {}); }

void BatchBoard::set_status(int slot, const std::string& text) {
  const std::lock_guard lock(mutex_);
  slots_[static_cast<std::size_t>(slot)]->text = text;
  if (terminal_ < 0) return;
  // A job starting or ending is shown at once, its progress now and then.
  const auto now = std::chrono::steady_clock::now();
  const bool running = !text.empty() && text != "starting";
  if (running && now - last_draw_ < kRedrawInterval) return;
  erase();
  draw();
}

void BatchBoard::print(std::FILE* stream, const std::string& line) { print_lines(stream, line + "\n"); }

void BatchBoard::print_lines(std::FILE* stream, const std::string& lines) {
  if (lines.empty()) return;
  const std::lock_guard lock(mutex_);
  if (terminal_ < 0) {
    std::fputs(lines.c_str(), stream);
    std::fflush(stream);
    return;
  }
  erase();
  if (stream == stderr) {
    write_text(terminal_, lines);
  } else {
    std::fputs(lines.c_str(), stream);
    std::fflush(stream);
  }
  draw();
}

void BatchBoard::erase() {
  if (drawn_ > 0) write_text(terminal_, "\r\033[" + std::to_string(drawn_) + "A\033[J");
  drawn_ = 0;
}

void BatchBoard::draw() {
  // A wrapped line could not be redrawn in place, so each is cut; the last
  // column stays free because some terminals wrap as soon as it is written.
  const int columns = columns_of(terminal_) - 1;
  std::string frame;
  for (const auto& slot : slots_) {
    if (slot->text.empty()) continue;
    frame += std::string(fit_columns(slot->name + ": " + slot->text, columns)) + "\n";
    ++drawn_;
  }
  write_text(terminal_, frame);
  last_draw_ = std::chrono::steady_clock::now();
}

}  // namespace kvt::cli
