// What real-time playback tells the visual player, and the clock it keeps
// for it. Until a visual player is attached the view does nothing; the
// playback still runs its timer and handshake, so nothing depends on
// whether one is there.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kvt::host {

inline constexpr int kViewTickUnit = 480;  // clock units per view tick

// The view's clock budget, kept in step with the audio by the buffer-done
// handler (units: 480 per 2756.25 Hz tick).
struct ViewClock {
  std::atomic<int> fmt_count{0};  // ticks the view may run ahead, x 480
  std::atomic<int> dmp_count{0};  // catch-up ticks owed at a buffer boundary
  std::atomic<int> wait_flag{0};  // 1 while the handler changes the two
  int start_ticks = 0;  // of the song, played silently before its first buffer; set before the timer starts

  // A song starts: until its first buffer has played the view runs freely.
  void start(int buf_time) { fmt_count = buf_time * 40; }
  // A buffer has played (`buf_time`: one buffer's ticks x 480). The first
  // one sets the budget; every later one turns what the view has not
  // caught up with into catch-up ticks and allows one buffer more.
  void buffer_played(int buf_time, bool first) {
    constexpr int kFirstBufferBudget = 33075;
    wait_flag = 1;
    if (first) {
      fmt_count = buf_time + kFirstBufferBudget;
    } else {
      const int whole = fmt_count.load() / kViewTickUnit;
      dmp_count.fetch_add(whole);
      fmt_count.fetch_sub(whole * kViewTickUnit);
      fmt_count.fetch_add(buf_time);
    }
    wait_flag = 0;
  }
};

// The song that is about to play, as the view shows it.
struct ViewSong {
  const char* path;
  int rate_index;
  int channel;
  int effect_level;
  const std::uint8_t* image;  // the loaded song, kept until the view acknowledges the stop
  std::size_t size;
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
