// The player's C exports as a front end drives them: the default player
// on SDL's disk driver, player handles side by side, and renderings that
// the caller polls instead of running a nested event loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "notify_recorder.h"
#include "playback_songs.h"

namespace kvt::test {
namespace {

using namespace std::chrono_literals;

constexpr char kFinished[] = "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

class DefaultPlayerTest : public PlaybackSongTest {
 protected:
  // About 23 times real time at 22050 Hz.
  DefaultPlayerTest() { use_disk_card(dir / "card.raw", 1); }
  ~DefaultPlayerTest() override { _waveout_stop(); }

  NotifyRecorder notices;
  kvt_notify_target target = notices.target();
  char title[256] = {};
};

TEST_F(DefaultPlayerTest, ASongReachesTheCardAsItsWaveRendering) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  ASSERT_EQ(_play(song.c_str(), s, title, &target), 0);
  ASSERT_TRUE(notices.wait_for(KVT_COMMAND_SONG_END));
  kvt_play_state state{};
  kvt_play_state_get(&state);
  EXPECT_EQ(state.playing, 0);
  EXPECT_TRUE(plays_as(samples_of(read_file(dir / "card.raw")), expected, 2, kBufferFrames));
  EXPECT_EQ(notices.count(KVT_COMMAND_SONG_END, state.serial), 1);
}

// A front end's event loop runs while the progress dialog is up: here every
// poll of the cancel button starts or stops a song, and asks for a second
// rendering, while the rendering goes on.
TEST_F(DefaultPlayerTest, SongsPlayAndStopWhileAWaveFileRenders) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  // Two minutes of 32 parts that sound throughout, so that even the
  // fastest rendering lasts for several of the dialog's polls.
  Bytes long_part{0x73, 0, 0x6D, 245};
  for (int i = 0; i < 48; ++i) long_part.insert(long_part.end(), {36, 255});
  long_part.push_back(0xFF);
  dir.write("song.kvt", tone_song(std::vector<Bytes>(32, long_part)).song);
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

TEST_F(DefaultPlayerTest, StartUpFailuresShowTheirMessageAndLeaveNothingPlaying) {
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

TEST_F(DefaultPlayerTest, HandlesPlayAtOnceAndEachHearsOnlyItsOwnSongs) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  const RecordingUi ui;
  NotifyRecorder heard_a, heard_b;
  const kvt_notify_target to_a = heard_a.target(), to_b = heard_b.target();
  kvt_player* a = kvt_player_new(&ui.callbacks(), &to_a);
  kvt_player* b = kvt_player_new(&ui.callbacks(), &to_b);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  const playstruct s = settings();
  ASSERT_EQ(kvt_player_play(b, (dir / "loop.kvt").c_str(), &s, title), 0);
  ASSERT_EQ(kvt_player_play(a, song.c_str(), &s, title), 0);
  ASSERT_TRUE(heard_a.wait_for(KVT_COMMAND_SONG_END, 1));
  kvt_play_state state_a{}, state_b{};
  kvt_player_state(a, &state_a);
  kvt_player_state(b, &state_b);
  EXPECT_EQ(state_a.playing, 0);
  EXPECT_EQ(state_b.playing, 1);
  EXPECT_EQ(state_b.serial, 1u);
  kvt_play_state idle{};
  kvt_play_state_get(&idle);
  EXPECT_EQ(idle.playing, 0);  // the default player has nothing to do with them
  kvt_player_delete(b);        // stops what it plays
  kvt_player_delete(a);
  EXPECT_EQ(heard_b.count(KVT_COMMAND_SONG_END), 0);
  EXPECT_TRUE(ui.messages.empty());
  kvt_player_delete(nullptr);
  EXPECT_EQ(kvt_player_play(nullptr, song.c_str(), &s, title), 1);
  kvt_player_stop(nullptr);
}

TEST_F(DefaultPlayerTest, AHandlePlaysAWaveFileAndTellsItsEnd) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  NotifyRecorder heard;
  const kvt_notify_target to = heard.target();
  kvt_player* player = kvt_player_new(nullptr, &to);
  ASSERT_EQ(kvt_player_play_wave(player, (dir / "expected.wav").c_str()), 0);
  ASSERT_TRUE(heard.wait_for(KVT_NOTICE_WAVE_DONE, 1));
  kvt_play_state state{};
  kvt_player_wave_state(player, &state);
  EXPECT_EQ(state.frames, expected.size() / 2);
  EXPECT_EQ(kvt_player_play_wave(player, (dir / "missing.wav").c_str()), 1);
  kvt_player_stop_wave(player);
  kvt_player_delete(player);
}

class RenderTest : public PlaybackSongTest {
 protected:
  // Polls as a GUI's timer would until the rendering ends; returns the
  // progress texts seen.
  static std::vector<std::string> poll_to_end(kvt_render* render, int cancel_after_polls = -1) {
    std::vector<std::string> seen;
    char text[512];
    for (int polls = 0; kvt_render_poll(render, text, sizeof text) == 0; ++polls) {
      if (seen.empty() || seen.back() != text) seen.emplace_back(text);
      if (polls == cancel_after_polls) kvt_render_cancel(render);
      std::this_thread::sleep_for(1ms);
    }
    seen.emplace_back(text);
    return seen;
  }

  char title[256] = {};
};

TEST_F(RenderTest, APolledRenderingWritesWhatTheDialogVersionWrites) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  RecordingUi ui;
  kvt_render* render = kvt_render_start(&ui.callbacks(), song.c_str(), (dir / "polled.wav").c_str(), &s, title);
  ASSERT_NE(render, nullptr);
  EXPECT_STREQ(title, "Title : None");
  const std::vector<std::string> seen = poll_to_end(render);
  EXPECT_EQ(kvt_render_finish(render), KVT_RENDER_COMPLETE);
  EXPECT_EQ(seen.back(), kFinished);
  // However early the rendering ended, the callback saw its last progress
  // line before the end.
  ASSERT_GE(ui.progress.size(), 2u);
  EXPECT_EQ(ui.progress[ui.progress.size() - 2].substr(0, 10), "Play time=");
  EXPECT_EQ(ui.progress.back(), kFinished);
  EXPECT_EQ(samples_of(read_file(dir / "polled.wav"), kWavHeader), expected);
  EXPECT_EQ(ui.finished, 0);          // the caller closes its own dialog
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RenderTest, AWaitingCallerLearnsOfTheEndAndStillSeesTheProgress) {
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  RecordingUi ui;
  kvt_render* render = kvt_render_start(&ui.callbacks(), song.c_str(), (dir / "waited.wav").c_str(), &s, title);
  ASSERT_NE(render, nullptr);
  int waits = 0;
  while (kvt_render_wait(render, 100) == 0) ASSERT_LT(++waits, 600) << "the rendering never ended";
  EXPECT_EQ(kvt_render_poll(render, nullptr, 0), 1);  // ended, not just timed out
  EXPECT_EQ(kvt_render_finish(render), KVT_RENDER_COMPLETE);
  EXPECT_FALSE(ui.progress.empty());
  EXPECT_EQ(ui.progress.back(), kFinished);
  EXPECT_EQ(samples_of(read_file(dir / "waited.wav"), kWavHeader), expected);
}

TEST_F(RenderTest, RenderingsRunSideBySideWithACancelledOneKeepingAShorterFile) {
  const std::vector<Bytes> endless = {{0x73, 0, 0x6D, 245, 0x79, 0x71, 0xFF, 0xFF, 36, 255, 0xFF}};
  dir.write("endless.kvt", tone_song(endless).song);
  const playstruct s = settings();
  const std::vector<std::int16_t> expected = wave_rendering(s);
  RecordingUi ui;
  kvt_render* cut =
      kvt_render_start(&ui.callbacks(), (dir / "endless.kvt").c_str(), (dir / "cut.wav").c_str(), &s, title);
  kvt_render* whole = kvt_render_start(nullptr, song.c_str(), (dir / "whole.wav").c_str(), &s, title);
  ASSERT_NE(cut, nullptr);
  ASSERT_NE(whole, nullptr);
  const std::vector<std::string> seen = poll_to_end(cut, 3);
  EXPECT_EQ(kvt_render_finish(cut), KVT_RENDER_SHORTER);
  EXPECT_EQ(seen.back(), kFinished);
  EXPECT_NE(std::find(ui.progress.begin(), ui.progress.end(), "WAV file is closed halfway!"), ui.progress.end());
  EXPECT_GT(read_file(dir / "cut.wav").size(), kWavHeader);
  EXPECT_EQ(kvt_render_finish(whole), KVT_RENDER_COMPLETE);
  EXPECT_EQ(samples_of(read_file(dir / "whole.wav"), kWavHeader), expected);
}

TEST_F(RenderTest, StartFailuresStartNothing) {
  RecordingUi ui;
  playstruct s = settings();
  const std::string missing = dir / "missing.kvt";
  EXPECT_EQ(kvt_render_start(&ui.callbacks(), missing.c_str(), (dir / "x.wav").c_str(), &s, title), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, missing + " is not found.");
  s.rate_index = 3;  // no WAVE output at this rate, and no message
  EXPECT_EQ(kvt_render_start(&ui.callbacks(), song.c_str(), (dir / "x.wav").c_str(), &s, title), nullptr);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(kvt_render_start(nullptr, nullptr, (dir / "x.wav").c_str(), &s, title), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.wav"));
  EXPECT_EQ(kvt_render_finish(nullptr), KVT_RENDER_NO_FILE);
  EXPECT_EQ(kvt_render_poll(nullptr, nullptr, 0), 1);
  EXPECT_EQ(kvt_render_wait(nullptr, 10), 1);
  kvt_render_cancel(nullptr);
}

}  // namespace
}  // namespace kvt::test
