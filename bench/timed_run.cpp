#include "timed_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

extern char** environ;

namespace kvt::bench {

double timed_run(const std::string& program, const std::vector<std::string>& args, const std::string& log,
                 int worst_status) {
  return measured_run(program, args, log, worst_status).seconds;
}

RunUsage measured_run(const std::string& program, const std::vector<std::string>& args, const std::string& log,
                      int worst_status) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  struct rusage usage {};
  if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid) return {-1, 0};
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  // ru_maxrss is in KiB on Linux.
  return {WIFEXITED(status) && WEXITSTATUS(status) <= worst_status ? took.count() : -1, usage.ru_maxrss};
}

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace kvt::bench
