// The kvt97 program started as a user would, in a configuration of the
// test's own, and watched until it ends.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kvt::test {

class ProgramProcess {
 public:
  // Starts `program` with `args`, its configuration and runtime folders in
  // `home`, on the offscreen platform.
  ProgramProcess(const std::string& program, const std::vector<std::string>& args, const std::string& home);
  ~ProgramProcess();  // kills it when still running
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  void signal(int number) const;
  // The exit status (128 + signal when one ended it), or nothing when it
  // still runs after `limit_ms`.
  std::optional<int> wait(int limit_ms);

 private:
  pid_t pid_ = -1;
};

// Waits up to `limit_ms` for `path` to exist.
bool wait_for_file(const std::string& path, int limit_ms);

}  // namespace kvt::test
