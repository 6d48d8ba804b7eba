#include "run_kvt.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "host_fixture.h"

namespace kvt::test {

CommandRun run_kvt(const std::vector<std::string>& args, int interrupt_after_ms) {
  const ScratchDir capture;
  const std::string out_path = capture / "out", err_path = capture / "err";
  std::vector<std::string> argv_text{KVT_BINARY};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (interrupt_after_ms >= 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(interrupt_after_ms));
    kill(pid, SIGINT);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const Bytes out = read_file(out_path), err = read_file(err_path);
  return CommandRun{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                    std::string(out.begin(), out.end()), std::string(err.begin(), err.end())};
}

}  // namespace kvt::test
