// Runs the `kvt` command as a user would and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace kvt::test {

struct CommandRun {
  int status;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

// `interrupt_after_ms` >= 0 sends SIGINT that long after the start.
CommandRun run_kvt(const std::vector<std::string>& args, int interrupt_after_ms = -1);

}  // namespace kvt::test
