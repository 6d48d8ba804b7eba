// Runs the `kvt` command as a user would and collects what it printed.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvt::test {

struct CommandRun {
  int status;   // the exit status, or 128 + the signal that ended it
  bool exited;  // false when a signal ended it (or it was killed for taking too long)
  pid_t pid;
  std::string out;
  std::string err;  // or what reached the terminal, when stderr was one
  bool input_mode_kept = true;  // with keys: the input terminal's mode afterwards is the one it started with
};

// What the command has printed so far.
using Progress = std::function<bool(const std::string& out, const std::string& err)>;

// A signal sent to the command once it is ready for it: `ready` is asked
// every few milliseconds; the signal goes `delay_ms` after it first holds.
struct SignalPlan {
  int number;
  Progress ready = [](const std::string&, const std::string&) { return true; };
  int delay_ms = 0;
};

// Keys typed on the command's input terminal once `ready` holds (after the
// keys before them went).
struct KeyPlan {
  std::string keys;
  Progress ready = [](const std::string&, const std::string&) { return true; };
};

struct RunOptions {
  std::optional<SignalPlan> signal;
  std::vector<int> ignored;  // signals the command starts with ignored, as a background job does
  int terminal_columns = 0;  // > 0: stderr is a terminal this wide
  std::vector<KeyPlan> keys;  // not empty: stdin is a terminal in its usual mode, echoing lines
  // The locale variables the command sees ("NAME=VALUE"), in place of the
  // runner's LANG, LC_ALL, LC_MESSAGES and LANGUAGE: by default a Japanese
  // locale, under which the libraries' texts show as they wrote them.
  std::vector<std::string> locale = {"LANG=ja_JP.UTF-8"};
};

// A command still running after this long is killed.
inline constexpr int kTimeLimitSeconds = 30;

CommandRun run_kvt(const std::vector<std::string>& args, const RunOptions& options);

// `interrupt_after_ms` >= 0 sends SIGINT that long after the start.
CommandRun run_kvt(const std::vector<std::string>& args, int interrupt_after_ms = -1);

}  // namespace kvt::test
