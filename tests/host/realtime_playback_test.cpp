// Real-time playback through the memory sink, whose clock runs far faster
// than real time: what it played against the WAVE rendering of the same
// song, the end-of-song command, stopping and restarting, starvation and
// the view's handshake.
#include "realtime_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "memory_sink.h"
#include "notify_recorder.h"
#include "playback_songs.h"

namespace kvt::test {
namespace {

using namespace std::chrono_literals;

// Records what the view is told.
class RecordingView : public host::PlaybackView {
 public:
  void show_song(const host::ViewSong& song) override {
    shown_path = song.path;
    shown = {song.rate_index, song.channel, song.effect_level};
  }
  void clock_started(host::ViewClock& clock) override {
    start_budget = clock.fmt_count.load();
    start_ticks = clock.start_ticks;
    ++starts;
  }
  void tick(host::ViewClock&) override { ++ticks; }

  std::string shown_path;
  std::vector<int> shown;
  int start_budget = -1;
  int start_ticks = -1;
  int starts = 0;
  std::atomic<int> ticks{0};
};

class RealtimePlaybackTest : public PlaybackSongTest {
 protected:
  // A wave buffer at 22050 Hz lasts about 6 ms.
  static constexpr double kSpeed = 100;

  int play(const std::string& path, const playstruct& s, const kvt_notify_target* to,
           const host::OutputOptions& options = {}) {
    return playback.play(path.c_str(), s, title, to, options);
  }

  // The state once the card has played at least `frames` of the song.
  kvt_play_state state_after(unsigned long frames) {
    kvt_play_state state = playback.state();
    for (int i = 0; i < 5000 && state.frames < frames; ++i) {
      std::this_thread::sleep_for(1ms);
      state = playback.state();
    }
    return state;
  }

  NotifyRecorder notices;
  kvt_notify_target target = notices.target();
  char title[256] = {};
  host::Player player;
  RecordingView view;
  host::SinkRecording card;
  host::RealtimePlayback playback{player, view, std::make_unique<host::MemorySink>(kSpeed, card)};
};

class ChannelTest : public RealtimePlaybackTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChannelTest, SongThatEndsReachesTheCardAsItsWaveRenderingAndEndsOnce) {
  const playstruct s = settings(GetParam());
  const std::vector<std::int16_t> expected = wave_rendering(s);
  ASSERT_GT(expected.size(), 3 * kBufferFrames * GetParam());
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  const kvt_play_state state = playback.state();
  EXPECT_EQ(state.playing, 0);  // stopped before the command
  EXPECT_EQ(state.rate, 22050);
  EXPECT_EQ(state.serial, 1u);
  EXPECT_TRUE(plays_as(card.take(), expected, GetParam(), kBufferFrames));
  EXPECT_STREQ(title, "Title : None");
  playback.waveout_stop();
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 1);
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END, 1), 1);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, ChannelTest, ::testing::Values(1, 2));

TEST_F(RealtimePlaybackTest, StopWhenIdleTwiceAndDuringPlayback) {
  playback.waveout_stop();
  playback.waveout_stop();
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  playstruct s = settings();
  s.loop = 2;
  s.fade = 2;
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
  kvt_play_state state{};
  for (int i = 0; i < 2000 && state.frames < 2 * kBufferFrames; ++i) {
    std::this_thread::sleep_for(1ms);
    state = playback.state();
  }
  EXPECT_EQ(state.playing, 1);
  EXPECT_GE(state.frames, 2 * kBufferFrames);
  EXPECT_EQ(state.frames % kBufferFrames, 0u);
  playback.waveout_stop();
  playback.waveout_stop();
  state = playback.state();
  EXPECT_EQ(state.playing, 0);
  EXPECT_EQ(state.frames, 0u);
  const std::size_t played = card.samples();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(card.samples(), played);  // the sink is closed
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 0);  // a stop is no song end
}

TEST_F(RealtimePlaybackTest, PlayWhilePlayingStopsTheFirstSongCompletely) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
  while (card.samples() < kBufferFrames * 2) std::this_thread::yield();
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END, 1), 0);
  // The looping song's buffers come first; the song follows whole, and
  // nothing plays after its end.
  const std::vector<std::int16_t> played = card.take();
  const auto second = std::search(played.begin(), played.end(), expected.begin(), expected.begin() + kBufferFrames * 2);
  ASSERT_NE(second, played.end());
  EXPECT_GE(second - played.begin(), static_cast<std::ptrdiff_t>(kBufferFrames * 2));
  EXPECT_TRUE(plays_as(std::vector<std::int16_t>(second, played.end()), expected, 2, kBufferFrames));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(card.samples(), 0u);
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 1);
}

// Plays the song once more from the notify target, as a repeat program may.
struct Replayer {
  Replayer(host::RealtimePlayback& p, const std::string& path, const playstruct& s)
      : playback(p), song(path), settings(s) {}
  static void on_command(void* self, int id, unsigned long serial) {
    auto* r = static_cast<Replayer*>(self);
    if (id == KVT_COMMAND_SONG_END && r->ends++ == 0) {
      r->replayed = r->playback.play(r->song.c_str(), r->settings, r->title, &r->target);
    }
    r->last.notify(id, serial);
  }
  host::RealtimePlayback& playback;
  std::string song;
  playstruct settings;
  char title[256] = {};
  kvt_notify_target target{this, on_command};
  int ends = 0;
  int replayed = -1;
  NotifyRecorder last;
};

TEST_F(RealtimePlaybackTest, NotifyTargetMayStartTheNextSong) {
  Replayer r(playback, song, settings());
  ASSERT_EQ(play(song, r.settings, &r.target), 0);
  ASSERT_TRUE(r.last.wait_for(KVT_COMMAND_SONG_END, 2));
  EXPECT_EQ(r.replayed, 0);
  EXPECT_EQ(r.last.count(KVT_COMMAND_SONG_END, 1), 1);
  EXPECT_EQ(r.last.count(KVT_COMMAND_SONG_END, 2), 1);
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
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_EQ(play(dir / "short.kvt", s, &to_ended), 0);
    kvt_play_state state = playback.state();
    const unsigned long first = state.serial;
    // Once it no longer plays, the done handler is stopping it.
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (state.playing == 1 && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::yield();
      state = playback.state();
    }
    ASSERT_EQ(play(dir / "loop.kvt", s, &to_next), 0);
    EXPECT_EQ(playback.state().serial, first + 1);
    EXPECT_TRUE(ended.wait_for(KVT_COMMAND_SONG_END, first, 2s));
    playback.waveout_stop();
    EXPECT_EQ(ended.count(KVT_COMMAND_SONG_END, first), 1);
    EXPECT_EQ(next.count(KVT_COMMAND_SONG_END), 0);
  }
}

TEST_F(RealtimePlaybackTest, FadeOutStartsAtTheLoopCountAndEndsALoopingSong) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  for (const auto& [fade, speed] : {std::pair{0, 4}, {1, 24}, {2, 44}}) {
    SCOPED_TRACE(testing::Message() << "fade " << fade);
    NotifyRecorder ends;
    const kvt_notify_target to = ends.target();
    playstruct s = settings(1);
    s.rate_index = 4;
    s.fade = fade;
    s.loop = 1;
    ASSERT_EQ(play(dir / "loop.kvt", s, &to), 0);
    ASSERT_TRUE(ends.wait_for(host::kCommandSongEnd));
    EXPECT_EQ(player.driver->fade_speed, speed);
    EXPECT_FALSE(player.loaded());  // the song and its voices are freed
  }
}

TEST_F(RealtimePlaybackTest, StarvationIsCoveredBySilenceAndTheSongContinuesWhereItWas) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  int rendered = 0;
  // A buffer plays in about 6 ms; each one now takes 40 ms to render.
  playback.buffer_rendered = [&] {
    if (++rendered > 3) std::this_thread::sleep_for(40ms);
  };
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(host::kCommandSongEnd));
  const std::vector<std::int16_t> played = card.take();
  EXPECT_TRUE(plays_as(played, expected, 2, kBufferFrames));
  // Silence took the card's time while the renderer was behind.
  EXPECT_GT(played.size(), expected.size() + kBufferFrames * 2 * 2);
  EXPECT_EQ(notices.count(host::kCommandSongEnd), 1);
}

TEST_F(RealtimePlaybackTest, KeyboardFlagFeedsTheViewAndItsTimerAcknowledgesTheStop) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  playstruct s = settings();
  s.keyboard_flag = 1;
  s.effect_level = 1;
  // At about the speed of a real card, so that the song's fade-out leaves
  // the view's 50 ms timer time for a few ticks.
  playback.buffer_rendered = [] { std::this_thread::sleep_for(100ms); };
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
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
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
  playback.waveout_stop();  // needs no timer
  EXPECT_EQ(view.starts, 1);
}

// A wave buffer at 22050 Hz lasts 557 ms; a start is rounded to whole buffers.
host::OutputOptions starting_at(unsigned long ms) {
  host::OutputOptions o;
  o.start_ms = ms;
  return o;
}

TEST_F(RealtimePlaybackTest, SongStartedLaterPlaysOnExactlyAsFromItsStart) {
  for (const auto& [start_ms, buffers] : {std::pair{300ul, 1ul}, {1200ul, 2ul}}) {
    SCOPED_TRACE(testing::Message() << "start " << start_ms << " ms");
    for (const int channel : {1, 2}) {
      const playstruct s = settings(channel);
      const std::vector<std::int16_t> whole = wave_rendering(s);
      const std::vector<std::int16_t> rest(whole.begin() + buffers * kBufferFrames * channel, whole.end());
      NotifyRecorder ends;
      const kvt_notify_target to = ends.target();
      ASSERT_EQ(play(song, s, &to, starting_at(start_ms)), 0);
      ASSERT_TRUE(ends.wait_for(KVT_COMMAND_SONG_END));
      EXPECT_TRUE(plays_as(card.take(), rest, channel, kBufferFrames));
    }
  }
}

TEST_F(RealtimePlaybackTest, StateAndViewCountFromTheSongsStart) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  playstruct s = settings();
  s.keyboard_flag = 1;
  ASSERT_EQ(play(dir / "loop.kvt", s, &target, starting_at(3000)), 0);  // 5.4 buffers
  const kvt_play_state state = state_after(5 * kBufferFrames);
  EXPECT_EQ(state.playing, 1);
  EXPECT_EQ(state.frames % kBufferFrames, 0u);
  EXPECT_GE(state.frames, 5 * kBufferFrames);
  EXPECT_EQ(view.start_ticks, 5 * 1536);  // 2756.25 Hz ticks in five buffers at 22050 Hz
  playback.waveout_stop();
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
  EXPECT_EQ(view.start_ticks, 0);
  EXPECT_LT(playback.state().frames, 5 * kBufferFrames);
  playback.waveout_stop();
}

TEST_F(RealtimePlaybackTest, StartPastTheEndEndsTheSongAtOnce) {
  const std::vector<std::int16_t> whole = wave_rendering(settings());
  ASSERT_EQ(play(song, settings(), &target, starting_at(60000)), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END), 1);
  // Nothing of the song sounds: only what follows its end.
  const std::vector<std::int16_t> played = card.take();
  for (std::size_t buffer = 0; buffer + 1 < whole.size() / (kBufferFrames * 2); ++buffer) {
    const auto from = whole.begin() + buffer * kBufferFrames * 2;
    EXPECT_EQ(std::search(played.begin(), played.end(), from, from + kBufferFrames * 2), played.end()) << buffer;
  }
}

TEST_F(RealtimePlaybackTest, GainScalesEveryLaterBufferAndSaturates) {
  const playstruct s = settings();
  const std::vector<std::int16_t> plain = wave_rendering(s);
  std::vector<std::int16_t> doubled(plain.size());
  std::transform(plain.begin(), plain.end(), doubled.begin(),
                 [](std::int16_t v) { return static_cast<std::int16_t>(std::clamp(2 * v, -32768, 32767)); });
  ASSERT_NE(doubled, plain);
  playback.set_gain_db(6);
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  EXPECT_TRUE(plays_as(card.take(), doubled, 2, kBufferFrames));
  playback.set_gain_db(0);
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END, 2));
  EXPECT_TRUE(plays_as(card.take(), plain, 2, kBufferFrames));
}

// Frames that are not silence, in order.
std::vector<std::int16_t> sounding(const std::vector<std::int16_t>& samples) {
  std::vector<std::int16_t> kept;
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    if (samples[i] != 0 || samples[i + 1] != 0) kept.insert(kept.end(), {samples[i], samples[i + 1]});
  }
  return kept;
}

TEST_F(RealtimePlaybackTest, PauseHoldsTheSongWhereItIsAndLosesNothing) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  ASSERT_EQ(play(song, s, &target), 0);
  while (card.samples() < kBufferFrames) std::this_thread::yield();
  playback.pause(true);
  std::this_thread::sleep_for(5ms);  // what the card had begun may still come
  const std::size_t held_from = card.samples();
  std::this_thread::sleep_for(30ms);
  const std::size_t held_to = card.samples();
  EXPECT_EQ(playback.state().playing, 1);
  playback.pause(false);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  const std::vector<std::int16_t> played = card.take();
  ASSERT_GT(held_to, held_from + 512);
  EXPECT_TRUE(std::all_of(played.begin() + held_from, played.begin() + held_to, [](std::int16_t v) { return v == 0; }));
  // With the silence taken out, the song as rendered: on from where it
  // stopped (its last buffer goes on past the rendering's end).
  const std::vector<std::int16_t> heard = sounding(played), rendered = sounding(expected);
  ASSERT_GE(heard.size(), rendered.size());
  EXPECT_TRUE(std::equal(rendered.begin(), rendered.end(), heard.begin()));

  // A new song starts unpaused.
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  ASSERT_EQ(play(dir / "loop.kvt", s, &target), 0);
  playback.pause(true);
  ASSERT_EQ(play(song, s, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END, 3));
  const std::vector<std::int16_t> next = card.take();
  const auto start = std::search(next.begin(), next.end(), expected.begin(), expected.begin() + kBufferFrames * 2);
  ASSERT_NE(start, next.end());
  EXPECT_TRUE(plays_as(std::vector<std::int16_t>(start, next.end()), expected, 2, kBufferFrames));
}

TEST_F(RealtimePlaybackTest, DeviceKeptOpenStaysOpenBetweenSongsUntilLetGo) {
  playback.keep_device_open(true);
  ASSERT_EQ(play(song, settings(), &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  const std::size_t after_end = card.samples();
  std::this_thread::sleep_for(20ms);
  EXPECT_GT(card.samples(), after_end);  // the card plays silence on
  playback.keep_device_open(false);
  const std::size_t closed = card.samples();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(card.samples(), closed);
}

TEST_F(RealtimePlaybackTest, ManyStartsAndStopsNeitherLeakNorHang) {
  playstruct s = settings(1);
  s.rate_index = 0;
  s.effect_level = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(play(song, s, &target), 0) << "cycle " << i;
    if (i % 4 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(i % 7));
    if (i % 4 != 3) playback.waveout_stop();  // else the next start stops it
  }
  playback.waveout_stop();
  EXPECT_EQ(playback.state().playing, 0);
  EXPECT_EQ(playback.state().serial, 200u);
}

}  // namespace
}  // namespace kvt::test
