// A notify target that records the commands reaching it; a serial of 0
// counts those of any playback.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "kvt/player.h"

namespace kvt::test {

class NotifyRecorder {
 public:
  kvt_notify_target target() { return {this, on_command}; }
  int count(int id, unsigned long serial = 0) {
    std::lock_guard<std::mutex> hold(lock_);
    return heard(id, serial);
  }
  bool wait_for(int id, unsigned long serial = 0, std::chrono::seconds limit = std::chrono::seconds(60)) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, limit, [&] { return heard(id, serial) > 0; });
  }

  void notify(int id, unsigned long serial) {
    std::lock_guard<std::mutex> hold(lock_);
    commands_.push_back({id, serial});
    changed_.notify_all();
  }

 private:
  struct Command {
    int id;
    unsigned long serial;
  };
  static void on_command(void* self, int id, unsigned long serial) {
    static_cast<NotifyRecorder*>(self)->notify(id, serial);
  }
  int heard(int id, unsigned long serial) const {
    return static_cast<int>(std::count_if(commands_.begin(), commands_.end(), [&](const Command& c) {
      return c.id == id && (serial == 0 || c.serial == serial);
    }));
  }
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Command> commands_;
};

}  // namespace kvt::test
