#include "program_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

extern char** environ;

namespace kvt::test {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

std::vector<std::string> environment_for(const std::string& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("XDG_CONFIG_HOME=", 0) == 0 || entry.rfind("XDG_RUNTIME_DIR=", 0) == 0 ||
        entry.rfind("QT_QPA_PLATFORM=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.push_back("XDG_CONFIG_HOME=" + home + "/config");
  env.push_back("XDG_RUNTIME_DIR=" + home + "/runtime");
  env.push_back("QT_QPA_PLATFORM=offscreen");
  return env;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& program, const std::vector<std::string>& args,
                               const std::string& home) {
  std::filesystem::create_directories(home + "/runtime");
  std::filesystem::permissions(home + "/runtime", std::filesystem::perms::owner_all);
  std::vector<std::string> argv_text = {program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text = environment_for(home);
  std::vector<char*> env;
  for (std::string& e : env_text) env.push_back(e.data());
  env.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), env.data()) != 0) pid_ = -1;
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void ProgramProcess::signal(int number) const {
  if (pid_ > 0) kill(pid_, number);
}

std::optional<int> ProgramProcess::wait(int limit_ms) {
  if (pid_ <= 0) return 127;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  do {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(kPoll);
  } while (std::chrono::steady_clock::now() < end);
  return std::nullopt;
}

bool wait_for_file(const std::string& path, int limit_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  while (!std::filesystem::exists(path)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

}  // namespace kvt::test
