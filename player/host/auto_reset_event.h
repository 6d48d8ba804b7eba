// An event that wakes one waiter and then resets itself, built on an
// atomic so that signalling never takes a lock (the render thread signals
// between driver calls).
#pragma once

#include <atomic>

namespace kvt::host {

class AutoResetEvent {
 public:
  void signal() {
    state_.store(1);
    state_.notify_one();
  }
  void reset() { state_.store(0); }
  // Returns once signalled, consuming the signal.
  void wait() {
    while (state_.exchange(0) == 0) state_.wait(0);
  }

 private:
  std::atomic<int> state_{0};
};

}  // namespace kvt::host
