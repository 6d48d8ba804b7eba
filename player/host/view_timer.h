// The visual player's 50 ms timer. It runs from the start of a song until
// the playback asks it to stop, and then acknowledges by adding 1 to the
// playback's stop handshake.
#pragma once

#include <atomic>
#include <thread>

#include "playback_view.h"

namespace kvt::host {

class ViewTimer {
 public:
  ViewTimer() = default;
  ~ViewTimer() { join(); }
  ViewTimer(const ViewTimer&) = delete;
  ViewTimer& operator=(const ViewTimer&) = delete;

  // Starts the timer; false when it cannot run (the view then stays still
  // and no acknowledgement comes).
  bool start(PlaybackView& view, ViewClock& clock, std::atomic<int>& play_flag2);
  // After its acknowledgement, releases the timer's thread.
  void join();

 private:
  std::thread thread_;
};

}  // namespace kvt::host
