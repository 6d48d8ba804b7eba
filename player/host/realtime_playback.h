// Real-time playback: a render thread fills a ring of three wave buffers
// with the driver's output, a feed thread queues them on the wave device in
// song order, and a stop thread tears everything down when asked. The
// device's buffer-done notices, run one at a time on its notification
// thread, recycle the buffers, cover starvation with a silence buffer and
// detect the song's end, which the caller hears about through its notify
// target (command 604, with the song's serial). A song may start later
// than its beginning: what comes before is rendered silently first.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "auto_reset_event.h"
#include "kvt/player.h"
#include "notice.h"
#include "output_options.h"
#include "player_context.h"
#include "playback_view.h"
#include "song_tail.h"
#include "view_timer.h"
#include "wave_device.h"

namespace kvt::host {

inline constexpr int kCommandSongEnd = 604;

class RealtimePlayback {
 public:
  // Plays through `sink`, the sound card unless told otherwise.
  RealtimePlayback(Player& player, PlaybackView& view, std::unique_ptr<AudioSink> sink = std::make_unique<WaveDevice>());
  ~RealtimePlayback();  // stops what plays
  RealtimePlayback(const RealtimePlayback&) = delete;
  RealtimePlayback& operator=(const RealtimePlayback&) = delete;

  // Stops what plays, loads the song and starts it under a new serial.
  // Returns 0 when it plays, 1 after a message (nothing is left allocated).
  int play(const char* song_path, const playstruct& settings, char* title_out, const kvt_notify_target* notify,
           const OutputOptions& options = {});
  // Stops and returns once everything is released; idle calls do nothing.
  void waveout_stop();
  kvt_play_state state() const;

  // Whether the device stays open after a song, so that the next song of
  // the same format follows without reopening it. Turning it off closes
  // an idle device.
  void keep_device_open(bool keep);
  // Holds the device where it is (silence meanwhile); a new song plays.
  void pause(bool paused);
  // The output volume, in dB (clamped), from the next rendered buffer on.
  void set_gain_db(int db);

  // Runs on the render thread after each buffer (a test makes rendering
  // slower than real time with it). Set it while idle.
  std::function<void()> buffer_rendered;

 private:
  bool stop_locked();  // true when it stopped a playback
  std::optional<Notice> stop_at_song_end();  // the ended song's notice, if it stopped it
  bool take_rate(int rate_index);
  bool open_device();
  bool allocate_buffers();
  bool reopen_buffers();  // the device is open; false after the message, with it closed
  bool queue_first_buffers();
  void release_buffers();
  void reset_counters();
  bool start_threads();
  void release_all();
  void abandon_start();
  void acknowledge_stop();
  enum class Rendered { song, end, stopped };
  Rendered render_buffer(std::uint8_t* out);  // one wave buffer of the song
  void skip_to(unsigned long start_ms);
  void render_loop();
  void feed_loop();
  void stop_loop();
  void on_buffer_done();
  void fail(const char* text, int icon);

  Player& player_;
  PlaybackView& view_;
  std::unique_ptr<AudioSink> device_;
  Notice notice_;  // the latest song's; under control_, as play() replaces it
  std::atomic<unsigned long> serial_{0};  // of the latest song, for the state

  // Output format, kept from song to song when a rate index is unknown.
  int sb16 = 0;
  int saisei_rate = 44100;
  int buf_time = 61440 * 6;
  int buffer_loop = 6;
  int channel = 2;
  int effect_level = 0;
  int fade = 0;
  int loop = 1;  // passes before the fade-out; 0: none
  int keyboard_flag = 0;
  SongTail tail_{false, 44100};

  std::array<std::unique_ptr<std::uint8_t[]>, 4> data_;  // 0..2 the ring, 3 silence
  std::array<WaveBuffer, 4> header_{};

  std::atomic<int> sw_make{0};
  std::atomic<int> sw_send{0};
  std::atomic<int> sw_play{0};
  std::atomic<int> sw_limit{0};
  std::array<std::atomic<int>, 10> sw_status{};
  std::atomic<int> play_flag2{0};
  std::atomic<int> end_flag{0};
  std::atomic<int> p1st_flag{0};
  std::atomic<int> last_pass_{0};
  std::atomic<bool> first_queued_{false};
  std::atomic<bool> keep_device_open_{false};
  WaveFormat open_format_{};  // of the device while it is open
  std::atomic<int> gain_db_{0};  // buffers 0 and 1 are on the device
  std::atomic<unsigned long> skipped_buffers_{0};  // rendered silently before the first one played
  int acknowledged_at_ = 4;  // play_flag2 once every thread has seen the stop
  ViewClock clock_;

  AutoResetEvent hEvent1;     // render may proceed
  AutoResetEvent hEvent2;     // feed may proceed
  AutoResetEvent hEventStop;  // stop requested
  std::mutex csPcm;
  std::mutex control_;  // one start or stop at a time

  std::thread render_thread_;
  std::thread feed_thread_;
  std::thread stop_thread_;
  ViewTimer view_timer_;
};

}  // namespace kvt::host
