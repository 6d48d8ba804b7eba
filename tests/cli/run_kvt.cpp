#include "run_kvt.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "host_fixture.h"

namespace kvt::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollPeriod = std::chrono::milliseconds(2);
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::string text_of(const std::string& path) {
  const Bytes bytes = read_file(path);
  return std::string(bytes.begin(), bytes.end());
}

// A pseudo-terminal of a given width that passes bytes as they are.
class Terminal {
 public:
  // `raw`: bytes pass as they are; otherwise it echoes and edits lines.
  explicit Terminal(int columns, bool raw = true) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no terminal");
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    if (slave_ < 0) throw std::runtime_error("no terminal");
    termios mode{};
    tcgetattr(slave_, &mode);
    if (raw) cfmakeraw(&mode);
    tcsetattr(slave_, TCSANOW, &mode);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    ioctl(slave_, TIOCSWINSZ, &size);
    fcntl(master_, F_SETFL, O_NONBLOCK);
  }
  ~Terminal() {
    close_slave();
    close(master_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  int slave() const { return slave_; }
  void type(const std::string& keys) const { (void)!write(master_, keys.data(), keys.size()); }
  // The line discipline's flags (the master shares them with the slave).
  tcflag_t local_modes() const {
    termios mode{};
    tcgetattr(master_, &mode);
    return mode.c_lflag;
  }
  void close_slave() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
  }
  // Takes in what the command has written so far.
  const std::string& drain() {
    char chunk[4096];
    for (ssize_t n; (n = read(master_, chunk, sizeof chunk)) > 0;) shown_.append(chunk, static_cast<std::size_t>(n));
    return shown_;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string shown_;
};

// In the child: only what is safe between fork and exec.
[[noreturn]] void exec_kvt(char* const* argv, char* const* envp, const RunOptions& options, const std::string& out_path,
                           const std::string& err_path, const Terminal* terminal, const Terminal* input) {
  const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = terminal != nullptr ? terminal->slave() : open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  if (input != nullptr) dup2(input->slave(), STDIN_FILENO);
  // Whatever the test runner was started with, the command starts as from
  // a shell in the foreground, but for the signals the test ignores.
  for (const int number : kStopSignals) {
    const bool ignored = std::find(options.ignored.begin(), options.ignored.end(), number) != options.ignored.end();
    std::signal(number, ignored ? SIG_IGN : SIG_DFL);
  }
  for (const int number : options.ignored) std::signal(number, SIG_IGN);
  execve(argv[0], argv, envp);
  _exit(127);
}

// The runner's environment with the locale variables of `options`.
std::vector<std::string> environment_for(const RunOptions& options) {
  static constexpr std::string_view kLocaleNames[] = {"LANG=", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="};
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (std::none_of(std::begin(kLocaleNames), std::end(kLocaleNames),
                     [&](std::string_view name) { return text.starts_with(name); })) {
      result.emplace_back(text);
    }
  }
  result.insert(result.end(), options.locale.begin(), options.locale.end());
  return result;
}

}  // namespace

CommandRun run_kvt(const std::vector<std::string>& args, const RunOptions& options) {
  const ScratchDir capture;
  const std::string out_path = capture / "out", err_path = capture / "err";
  std::optional<Terminal> terminal;
  if (options.terminal_columns > 0) terminal.emplace(options.terminal_columns);
  std::optional<Terminal> input;
  if (!options.keys.empty()) input.emplace(80, false);
  const tcflag_t input_mode = input ? input->local_modes() : 0;
  std::size_t keys_sent = 0;

  std::vector<std::string> argv_text{KVT_BINARY};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envp_text = environment_for(options);
  std::vector<char*> envp;
  for (std::string& e : envp_text) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    exec_kvt(argv.data(), envp.data(), options, out_path, err_path, terminal ? &*terminal : nullptr,
             input ? &*input : nullptr);
  }
  if (terminal) terminal->close_slave();

  const auto err_so_far = [&] { return terminal ? terminal->drain() : text_of(err_path); };
  const Clock::time_point start = Clock::now();
  std::optional<Clock::time_point> signal_at;
  bool signalled = false;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    const Clock::time_point now = Clock::now();
    if (now - start > std::chrono::seconds(kTimeLimitSeconds)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    if (options.signal && !signalled) {
      if (!signal_at && options.signal->ready(text_of(out_path), err_so_far())) {
        signal_at = now + std::chrono::milliseconds(options.signal->delay_ms);
      }
      if (signal_at && now >= *signal_at) {
        kill(pid, options.signal->number);
        signalled = true;
      }
    }
    if (keys_sent < options.keys.size() && options.keys[keys_sent].ready(text_of(out_path), err_so_far())) {
      input->type(options.keys[keys_sent++].keys);
    }
    if (terminal) terminal->drain();
    std::this_thread::sleep_for(kPollPeriod);
  }
  const bool exited = WIFEXITED(status);
  return CommandRun{exited ? WEXITSTATUS(status) : 128 + WTERMSIG(status), exited, pid, text_of(out_path),
                    err_so_far(), !input || input->local_modes() == input_mode};
}

CommandRun run_kvt(const std::vector<std::string>& args, int interrupt_after_ms) {
  RunOptions options;
  if (interrupt_after_ms >= 0) {
    options.signal = SignalPlan{SIGINT};
    options.signal->delay_ms = interrupt_after_ms;
  }
  return run_kvt(args, options);
}

}  // namespace kvt::test
