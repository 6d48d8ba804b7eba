// Real-time playback on SDL's disk driver, which writes what reaches the
// card into a file: the captured audio against the WAVE rendering of the
// same song, the end-of-song command, stopping and restarting, starvation,
// the view's handshake and the start-up messages.
#include "realtime_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "card_capture.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

using namespace std::chrono_literals;

// A song of about 3.3 wave buffers at 22050 Hz, on two parts with effects.
const std::vector<Bytes> kEndingSong = {
    {0x7C, 120, 80, 30, 0, 0, 0x7D, 0, 0, 150, 40, 20, 0, 4, 20, 1, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 60, 40, 60,
     43, 60, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};
// Loops for ever unless the fade-out ends it.
const std::vector<Bytes> kLoopingSong = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};
// Ends within its first wave buffer.
const std::vector<Bytes> kShortSong = {{0x73, 0, 0x6D, 245, 36, 24, 0xFF}};

constexpr std::size_t kWavHeader = 44;
constexpr std::size_t kBufferFrames = 12288;

// Counts the commands that reach the notify target; a serial of 0 counts
// those of any playback.
class NotifyRecorder {
 public:
  kvt_notify_target target() { return {this, on_command}; }
  int count(int id, unsigned long serial = 0) {
    std::lock_guard<std::mutex> hold(lock_);
    return heard(id, serial);
  }
  bool wait_for(int id, unsigned long serial = 0, std::chrono::seconds limit = 60s) {
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

class RealtimePlaybackTest : public ToneSongTest {
 protected:
  RealtimePlaybackTest() : ToneSongTest(kEndingSong, "song.kvt", "voices/tone.kvw") {
    capture_to("card.raw");
  }
  ~RealtimePlaybackTest() override { _waveout_stop(); }

  // About 23 times real time at 22050 Hz.
  void capture_to(const std::string& name) { use_disk_card(dir / name, 1); }

  playstruct settings(int channel = 2) const {
    playstruct s = settings_for(dir / "voices");
    s.rate_index = 2;
    s.channel = channel;
    s.effect_level = 2;
    return s;
  }

  std::vector<std::int16_t> wave_rendering(const playstruct& s) {
    const RecordingUi quiet;
    playstruct sixteen = s;
    sixteen.bit = 16;
    EXPECT_EQ(_output_wav(song.c_str(), (dir / "expected.wav").c_str(), sixteen, title), 0);
    return samples_of(read_file(dir / "expected.wav"), kWavHeader);
  }

  std::vector<std::int16_t> captured(const std::string& name = "card.raw") { return samples_of(read_file(dir / name)); }

  NotifyRecorder notices;
  kvt_notify_target target = notices.target();
  char title[256] = {};
};

class ChannelTest : public RealtimePlaybackTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChannelTest, SongThatEndsReachesTheCardAsItsWaveRenderingAndEndsOnce) {
  const playstruct s = settings(GetParam());
  const std::vector<std::int16_t> expected = wave_rendering(s);
  ASSERT_GT(expected.size(), 3 * kBufferFrames * GetParam());
  ASSERT_EQ(_play(song.c_str(), s, title, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  kvt_play_state state{};
  kvt_play_state_get(&state);
  EXPECT_EQ(state.playing, 0);  // stopped before the command
  EXPECT_EQ(state.rate, 22050);
  EXPECT_TRUE(plays_as(captured(), expected, GetParam(), kBufferFrames));
  EXPECT_STREQ(title, "Title : None");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 1);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, ChannelTest, ::testing::Values(1, 2));

TEST_F(RealtimePlaybackTest, StopWhenIdleTwiceAndDuringPlayback) {
  _waveout_stop();
  _waveout_stop();
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  playstruct s = settings();
  s.loop = 2;
  s.fade = 2;
  ASSERT_EQ(_play((dir / "loop.kvt").c_str(), s, title, &target), 0);
  kvt_play_state state{};
  for (int i = 0; i < 2000 && state.frames < 2 * kBufferFrames; ++i) {
    std::this_thread::sleep_for(5ms);
    kvt_play_state_get(&state);
  }
  EXPECT_EQ(state.playing, 1);
  EXPECT_GE(state.frames, 2 * kBufferFrames);
  EXPECT_EQ(state.frames % kBufferFrames, 0u);
  _waveout_stop();
  _waveout_stop();
  kvt_play_state_get(&state);
  EXPECT_EQ(state.playing, 0);
  EXPECT_EQ(state.frames, 0u);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 0);  // a stop is no song end
}

TEST_F(RealtimePlaybackTest, PlayWhilePlayingStopsTheFirstSongCompletely) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  capture_to("first.raw");
  ASSERT_EQ(_play((dir / "loop.kvt").c_str(), s, title, &target), 0);
  std::this_thread::sleep_for(50ms);
  capture_to("second.raw");
  ASSERT_EQ(_play(song.c_str(), s, title, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  EXPECT_TRUE(plays_as(captured("second.raw"), expected, 2, kBufferFrames));
  const std::size_t first = read_file(dir / "first.raw").size();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(read_file(dir / "first.raw").size(), first);  // its device is closed
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 1);
}

// A front end's event loop runs while the progress dialog is up: here every
// poll of the cancel button starts or stops a song, and asks for a second
// rendering, while the rendering goes on.
TEST_F(RealtimePlaybackTest, SongsPlayAndStopWhileAWaveFileRenders) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  // Two minutes of song, so that the dialog polls many times.
  Bytes long_part{0x73, 0, 0x6D, 245, 36, 60};
  for (int i = 0; i < 48; ++i) long_part.insert(long_part.end(), {0x75, 255});
  long_part.push_back(0xFF);
  dir.write("song.kvt", tone_song({long_part}).song);
  const std::vector<std::int16_t> expected = wave_rendering(settings());
  struct Busy {
    std::string loop, second;
    playstruct settings;
    char title[256] = {};
    int polls = 0;
    int second_rendering = -1;
  } busy{dir / "loop.kvt", dir / "second.wav", settings()};
  kvt_host_ui ui{};
  ui.context = &busy;
  ui.cancel_requested = [](void* self) {
    auto* b = static_cast<Busy*>(self);
    if (b->polls++ % 2 == 0) {
      _play(b->loop.c_str(), b->settings, b->title, nullptr);
    } else {
      _waveout_stop();
    }
    if (b->second_rendering < 0) {
      b->second_rendering = _output_wav(b->loop.c_str(), b->second.c_str(), b->settings, b->title);
    }
    return 0;
  };
  kvt_set_host_ui(&ui);
  ASSERT_EQ(_output_wav(song.c_str(), (dir / "busy.wav").c_str(), settings(), title), 0);
  kvt_set_host_ui(nullptr);
  EXPECT_GT(busy.polls, 1);
  EXPECT_EQ(busy.second_rendering, 1);
  EXPECT_FALSE(std::filesystem::exists(busy.second));
  EXPECT_EQ(samples_of(read_file(dir / "busy.wav"), kWavHeader), expected);
}

// Plays the song once more from the notify target, as a repeat program may.
struct Replayer {
  Replayer(const char* path, const playstruct& s) : song(path), settings(s) {}
  static void on_command(void* self, int id, unsigned long serial) {
    auto* r = static_cast<Replayer*>(self);
    if (id == KVT_COMMAND_SONG_END && r->ends++ == 0) r->replayed = _play(r->song, r->settings, r->title, &r->target);
    r->last.notify(id, serial);
  }
  const char* song;
  playstruct settings;
  char title[256] = {};
  kvt_notify_target target{this, on_command};
  int ends = 0;
  int replayed = -1;
  NotifyRecorder last;
};

TEST_F(RealtimePlaybackTest, NotifyTargetMayStartTheNextSong) {
  Replayer r(song.c_str(), settings());
  ASSERT_EQ(_play(song.c_str(), r.settings, title, &r.target), 0);
  for (int i = 0; i < 600 && r.last.count(KVT_COMMAND_SONG_END) < 2; ++i) std::this_thread::sleep_for(50ms);
  EXPECT_EQ(r.replayed, 0);
  EXPECT_EQ(r.last.count(KVT_COMMAND_SONG_END), 2);
}

// The control thread starts the next song while the done handler is still
// stopping the one that ended by itself: that end goes to the ended song's
// target with its serial, never to the next song's target.
TEST_F(RealtimePlaybackTest, SongStartedAsAnotherEndsNeverHearsThatEnd) {
  dir.write("short.kvt", tone_song(kShortSong).song);
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  playstruct s = settings(1);
  s.effect_level = 0;
  NotifyRecorder ended, next;
  const kvt_notify_target to_ended = ended.target(), to_next = next.target();
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  for (int round = 0; round < 40 && std::chrono::steady_clock::now() < deadline; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_EQ(_play((dir / "short.kvt").c_str(), s, title, &to_ended), 0);
    kvt_play_state state{};
    kvt_play_state_get(&state);
    const unsigned long first = state.serial;
    // Once it no longer plays, the done handler is stopping it.
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (state.playing == 1 && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::yield();
      kvt_play_state_get(&state);
    }
    ASSERT_EQ(_play((dir / "loop.kvt").c_str(), s, title, &to_next), 0);
    kvt_play_state_get(&state);
    EXPECT_EQ(state.serial, first + 1);
    EXPECT_TRUE(ended.wait_for(KVT_COMMAND_SONG_END, first, 2s));
    _waveout_stop();
    EXPECT_EQ(ended.count(KVT_COMMAND_SONG_END, first), 1);
    EXPECT_EQ(next.count(KVT_COMMAND_SONG_END), 0);
  }
}

TEST_F(RealtimePlaybackTest, FadeOutStartsAtTheLoopCountAndEndsALoopingSong) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  host::Player player;
  host::PlaybackView view;
  host::RealtimePlayback playback(player, view);
  for (const auto& [fade, speed] : {std::pair{0, 4}, {1, 24}, {2, 44}}) {
    SCOPED_TRACE(testing::Message() << "fade " << fade);
    NotifyRecorder ends;
    const kvt_notify_target to = ends.target();
    playstruct s = settings(1);
    s.rate_index = 4;
    s.fade = fade;
    s.loop = 1;
    ASSERT_EQ(playback.play((dir / "loop.kvt").c_str(), s, title, &to), 0);
    ASSERT_TRUE(ends.wait_for(host::kCommandSongEnd));
    EXPECT_EQ(player.driver->fade_speed, speed);
    EXPECT_FALSE(player.loaded());  // the song and its voices are freed
  }
}

TEST_F(RealtimePlaybackTest, StarvationIsCoveredBySilenceAndTheSongContinuesWhereItWas) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  host::Player player;
  host::PlaybackView view;
  host::RealtimePlayback playback(player, view);
  int rendered = 0;
  // A buffer plays in about 24 ms; each one now takes 60 ms to render.
  playback.buffer_rendered = [&] {
    if (++rendered > 3) std::this_thread::sleep_for(60ms);
  };
  ASSERT_EQ(playback.play(song.c_str(), s, title, &target), 0);
  ASSERT_TRUE(notices.wait_for(host::kCommandSongEnd));
  const std::vector<std::int16_t> capture = captured();
  EXPECT_TRUE(plays_as(capture, expected, 2, kBufferFrames));
  // Silence took the card's time while the renderer was behind.
  EXPECT_GT(capture.size(), expected.size() + kBufferFrames * 2 * 2);
  EXPECT_EQ(notices.count(host::kCommandSongEnd), 1);
}

// Records what the view is told.
class RecordingView : public host::PlaybackView {
 public:
  void show_song(const host::ViewSong& song) override {
    shown_path = song.path;
    shown = {song.rate_index, song.channel, song.effect_level};
  }
  void clock_started(host::ViewClock& clock) override { start_budget = clock.fmt_count.load(); ++starts; }
  void tick(host::ViewClock&) override { ++ticks; }

  std::string shown_path;
  std::vector<int> shown;
  int start_budget = -1;
  int starts = 0;
  std::atomic<int> ticks{0};
};

TEST_F(RealtimePlaybackTest, KeyboardFlagFeedsTheViewAndItsTimerAcknowledgesTheStop) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  host::Player player;
  RecordingView view;
  host::RealtimePlayback playback(player, view);
  playstruct s = settings();
  s.keyboard_flag = 1;
  s.effect_level = 1;
  ASSERT_EQ(playback.play((dir / "loop.kvt").c_str(), s, title, &target), 0);
  EXPECT_EQ(view.shown_path, dir / "loop.kvt");
  EXPECT_EQ(view.shown, (std::vector<int>{2, 2, 1}));
  EXPECT_EQ(view.starts, 1);
  for (int i = 0; i < 400 && view.ticks < 3; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_GE(view.ticks, 3);
  playback.waveout_stop();
  const int ticks = view.ticks;
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(view.ticks, ticks);  // the timer ended with its acknowledgement

  s.keyboard_flag = 0;
  ASSERT_EQ(playback.play((dir / "loop.kvt").c_str(), s, title, &target), 0);
  playback.waveout_stop();  // needs no timer
  EXPECT_EQ(view.starts, 1);
}

TEST_F(RealtimePlaybackTest, StartUpFailuresShowTheirMessageAndLeaveNothingPlaying) {
  const RecordingUi ui;
  playstruct s = settings();
  EXPECT_EQ(_play((dir / "missing.kvt").c_str(), s, title, &target), 1);
  s.channel = 3;
  EXPECT_EQ(_play(song.c_str(), s, title, &target), 1);
  s.channel = 2;
  s.rate_index = 9;  // keeps the previous song's rate
  ASSERT_EQ(_play(song.c_str(), s, title, &target), 0);
  kvt_play_state state{};
  kvt_play_state_get(&state);
  EXPECT_EQ(state.rate, 22050);
  _waveout_stop();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, dir / "missing.kvt" + " is not found.");
  EXPECT_EQ(ui.messages[1].text, "Not supported ..22050Hz 16Bit 3Channel");
  EXPECT_EQ(ui.messages[1].icon, KVT_ICON_INFORMATION);
}

TEST_F(RealtimePlaybackTest, ManyStartsAndStopsNeitherLeakNorHang) {
  playstruct s = settings(1);
  s.rate_index = 0;  // closing the card waits least at the highest rate
  s.effect_level = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(_play(song.c_str(), s, title, &target), 0) << "cycle " << i;
    if (i % 4 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(i % 7));
    if (i % 4 != 3) _waveout_stop();  // else the next start stops it
  }
  _waveout_stop();
  kvt_play_state state{};
  kvt_play_state_get(&state);
  EXPECT_EQ(state.playing, 0);
}

}  // namespace
}  // namespace kvt::test
