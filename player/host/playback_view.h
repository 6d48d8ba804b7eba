// What real-time playback tells the visual player, and the clock it keeps
// for it. Until a visual player is attached the view does nothing; the
// playback still runs its timer and handshake, so nothing depends on
// whether one is there.
#pragma once

#include <atomic>

namespace kvt::host {

// The view's clock budget, kept in step with the audio by the buffer-done
// handler (units: 480 per 2756.25 Hz tick).
struct ViewClock {
  std::atomic<int> fmt_count{0};  // ticks the view may run ahead, x 480
  std::atomic<int> dmp_count{0};  // catch-up ticks owed at a buffer boundary
  std::atomic<int> wait_flag{0};  // 1 while the handler changes the two
};

// The song that is about to play, as the view shows it.
struct ViewSong {
  const char* path;
  int rate_index;
  int channel;
  int effect_level;
};

class PlaybackView {
 public:
  virtual ~PlaybackView() = default;
  // Before the device opens (the song is loaded).
  virtual void show_song(const ViewSong& /*song*/) {}
  // The view timer has started for the current song.
  virtual void clock_started(ViewClock& /*clock*/) {}
  // One 50 ms period of the view timer (on the timer's thread).
  virtual void tick(ViewClock& /*clock*/) {}
};

}  // namespace kvt::host
