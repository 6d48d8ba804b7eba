#include "stop_signals.h"

#include <atomic>
#include <csignal>

namespace kvt::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free, so that a handler on any thread may set it and every thread sees it.
std::atomic<std::sig_atomic_t> first_stop_signal{0};
static_assert(std::atomic<std::sig_atomic_t>::is_always_lock_free);

extern "C" void note_stop_signal(int number) {
  std::sig_atomic_t none = 0;
  first_stop_signal.compare_exchange_strong(none, number);
}

}  // namespace

void catch_stop_signals() {
  struct sigaction action {};
  action.sa_handler = note_stop_signal;
  action.sa_flags = SA_RESTART;  // the libraries' file access goes on undisturbed
  sigemptyset(&action.sa_mask);
  for (const int number : kStopSignals) {
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(number, &action, nullptr);
  }
}

int stop_signal() { return first_stop_signal.load(); }

int stopped_status() { return 128 + stop_signal(); }

int exit_status(int status) { return stop_signal() != 0 ? stopped_status() : status; }

}  // namespace kvt::cli
