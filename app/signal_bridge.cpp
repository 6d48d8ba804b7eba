#include "signal_bridge.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <QSocketNotifier>

namespace kvt::app {

namespace {

int pipe_ends[2] = {-1, -1};

void on_signal(int number) {
  const unsigned char byte = static_cast<unsigned char>(number);
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = write(pipe_ends[1], &byte, 1);
  errno = saved;
}

void catch_signal(int number) {
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  struct sigaction previous {};
  sigaction(number, nullptr, &previous);
  // A signal ignored when the program started stays ignored, as a shell's
  // background job expects.
  if (previous.sa_handler != SIG_IGN) sigaction(number, &action, nullptr);
}

}  // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
  if (pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipe_ends[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char byte = 0;
    while (read(pipe_ends[0], &byte, 1) == 1) emit stop_requested(byte);
  });
  catch_signal(SIGTERM);
  catch_signal(SIGINT);
}

SignalBridge::~SignalBridge() {
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  delete notifier_;
  for (int& end : pipe_ends) {
    if (end >= 0) close(end);
    end = -1;
  }
}

}  // namespace kvt::app
