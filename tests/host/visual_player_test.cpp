// The visual player: its clock on the leash of the played buffers, the
// view timer's periods turned into analyser ticks, the window's exports
// with a front end's backend, and the picture of a playing song.
#include "visual_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "memory_sink.h"
#include "notify_recorder.h"
#include "playback_songs.h"
#include "realtime_playback.h"
#include "song_builder.h"
#include "track_view_recorder.h"

namespace kvt::test {
namespace {

using namespace std::chrono_literals;

TEST(ViewClock, EachPlayedBufferLetsTheViewRunOneBufferAheadAndOwesWhatItMissed) {
  constexpr int kBufferAt44100 = 368640;  // 12288 frames as 2756.25 Hz ticks x 480
  host::ViewClock clock;
  clock.start(kBufferAt44100);
  EXPECT_EQ(clock.fmt_count, 14745600);  // free until the first buffer has played
  clock.fmt_count -= 480 * 100;
  clock.buffer_played(kBufferAt44100, true);
  EXPECT_EQ(clock.fmt_count, 401715);
  EXPECT_EQ(clock.dmp_count, 0);
  clock.fmt_count -= 480 * 10;  // the view showed 10 ticks of the buffer
  clock.buffer_played(kBufferAt44100, false);
  EXPECT_EQ(clock.dmp_count, 826);
  EXPECT_EQ(clock.fmt_count, 369075);
  clock.buffer_played(kBufferAt44100, false);  // the view fell behind by a buffer
  EXPECT_EQ(clock.dmp_count, 826 + 768);
  EXPECT_EQ(clock.fmt_count, 369075);
  EXPECT_EQ(clock.wait_flag, 0);
}

// One part stepping up a key every song tick, at one tick per song tick:
// the lit key tells how many ticks the analyser ran.
Bytes stepping_song() {
  Bytes part{0xFD, 3, 'a', 'b', 'c'};
  for (std::uint8_t key = 10; key < 90; ++key) part.insert(part.end(), {key, 1});
  part.push_back(0xFF);
  return make_song({48, 1, false, {part}});
}

class VisualPlayerTest : public ::testing::Test {
 protected:
  VisualPlayerTest() {
    view.show_song({"/songs/step.kvt", 0, 2, 0, song.data(), song.size()});
    view.clock_started(clock);
  }

  // The one key lit in row 0, or -1.
  int lit_key() {
    const kvt_view_snapshot s = view.window().snapshot();
    int found = -1;
    for (int k = 0; k < KVT_VIEW_KEYS; ++k) {
      if (s.lit[0][k] == 0) continue;
      if (found >= 0) return -2;
      found = k;
    }
    return found;
  }

  Bytes song = stepping_song();
  host::VisualPlayer view;
  host::ViewClock clock;
};

TEST_F(VisualPlayerTest, PeriodsRunOnlyAsFarAsThePlayedAudioAllows) {
  EXPECT_EQ(lit_key(), 10);  // the first event is read at the start
  view.tick(clock);
  EXPECT_EQ(lit_key(), 10) << "no budget: the view waits for the audio";
  clock.dmp_count = 3;
  view.tick(clock);
  EXPECT_EQ(lit_key(), 13) << "the catch-up ticks, at once";
  EXPECT_EQ(clock.dmp_count, 0);
  clock.fmt_count = 480 * 5 + 100;
  view.tick(clock);
  EXPECT_EQ(lit_key(), 18) << "five ticks of budget";
  EXPECT_EQ(clock.fmt_count, 100);
  clock.fmt_count = 480 * 1000;
  view.tick(clock);  // 137.8 ticks a period, the remainder carried
  view.tick(clock);
  EXPECT_EQ(lit_key(), -1) << "the part has ended";
}

TEST_F(VisualPlayerTest, ANewSongShowsItsHeaderAndNames) {
  const kvt_view_snapshot s = view.window().snapshot();
  EXPECT_STREQ(s.file_line, "File  : /songs/step.kvt");
  EXPECT_STREQ(s.title_line, "Title : None");
  EXPECT_STREQ(s.rate_label, "44.10KHz");
  EXPECT_STREQ(s.channel_label, "\x83\x58\x83\x65\x83\x8C\x83\x49");
  EXPECT_STREQ(s.effect_label, "Effect=0");
  EXPECT_STREQ(s.names[0], "abc");
  EXPECT_EQ(s.narrow[0], 0);
  const host::ViewHeader mono = host::view_header({"x.kvt", 4, 1, 2, song.data(), song.size()});
  EXPECT_EQ(mono.rate_label, "11.03KHz");
  EXPECT_EQ(mono.channel_label, "\x83\x82\x83\x6D\x83\x89\x83\x8B");
  EXPECT_EQ(mono.effect_label, "Effect=2");
}

// A front end's window, as the calls it receives.
struct RecordingBackend {
  kvt_view_backend table() {
    kvt_view_backend b{};
    b.context = this;
    b.create = [](void* self, int left, int top, int visible) {
      auto* me = static_cast<RecordingBackend*>(self);
      me->calls.push_back("create " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(visible));
      return me->can_create;
    };
    b.show = [](void* self) { static_cast<RecordingBackend*>(self)->calls.push_back("show"); };
    b.hide = [](void* self) { static_cast<RecordingBackend*>(self)->calls.push_back("hide"); };
    b.position = [](void* self, int* left, int* top) {
      static_cast<RecordingBackend*>(self)->calls.push_back("position");
      *left = 300;
      *top = 400;
    };
    b.destroy = [](void* self) { static_cast<RecordingBackend*>(self)->calls.push_back("destroy"); };
    return b;
  }
  std::vector<std::string> calls;
  int can_create = 1;
};

TEST(ViewExports, TheWindowIsMadeHiddenShownAndDestroyedThroughItsBackend) {
  RecordingBackend window;
  const kvt_view_backend table = window.table();
  kvt_set_view_backend(&table);
  EXPECT_EQ(_set_view(10, 20, 1), 1);
  EXPECT_EQ(_GetView(), 1);
  kvt_view_closed();  // the close box hides the window
  EXPECT_EQ(_GetView(), 0);
  _OpenView();
  EXPECT_EQ(_GetView(), 1);
  _DestroyView();  // keeps where the window was
  EXPECT_EQ(_GetLeftView(), 300);
  EXPECT_EQ(_GetTopView(), 400);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"create 10 20 1", "hide", "show", "position", "destroy"}));
  window.can_create = 0;
  EXPECT_EQ(_set_view(1, 2, 0), 0);
  kvt_set_view_backend(nullptr);
  EXPECT_EQ(_set_view(5, 6, 0), 1) << "without a backend the view keeps its state only";
  EXPECT_EQ(_GetLeftView(), 5);
  EXPECT_EQ(_GetView(), 0);
}

// Dots reach the backend only while the window is meant to be seen; the
// snapshot has them either way.
struct DotCounter {
  kvt_view_backend table() {
    kvt_view_backend b{};
    b.context = this;
    b.set_dot = [](void* self, int, int) { ++static_cast<DotCounter*>(self)->dots; };
    b.track_name = [](void* self, int row, const char* name, size_t length, int narrow) {
      auto* me = static_cast<DotCounter*>(self);
      me->names.push_back(std::to_string(row) + " " + std::string(name, length) + (narrow != 0 ? " narrow" : ""));
    };
    return b;
  }
  std::atomic<int> dots{0};
  std::vector<std::string> names;
};

// A song played with the keyboard on the memory sink at `speed` times real
// time, its view reporting to `backend` when one is given.
struct KeyboardPlayback {
  explicit KeyboardPlayback(double speed) : playback(player, view, std::make_unique<host::MemorySink>(speed, card)) {}

  int play(const std::string& path, const std::string& voices, int rate_index) {
    playstruct s = settings_for(voices);
    s.rate_index = rate_index;
    s.keyboard_flag = 1;
    return playback.play(path.c_str(), s, title, &target);
  }

  host::Player player;
  host::VisualPlayer view;
  host::SinkRecording card;
  host::RealtimePlayback playback;
  NotifyRecorder notices;
  kvt_notify_target target = notices.target();
  char title[256] = {};
};

TEST(VisualPlayback, APlayingSongLightsKeysOnlyAHiddenWindowDoesNotDraw) {
  ScratchDir dir;
  Bytes part{0xFD, 15, 'f', 'i', 'f', 't', 'e', 'e', 'n', '-', 'b', 'y', 't', 'e', 's', '!', '!'};
  for (int i = 0; i < 40; ++i) part.insert(part.end(), {0x73, 0, 0x6D, 245, 36, 24, 40, 24});
  part.push_back(0xFF);
  const ToneSong tone = tone_song({part});
  const std::string path = dir.write("named.kvt", tone.song);
  dir.write("voices/tone.kvw", tone.voice);
  for (const int visible : {1, 0}) {
    SCOPED_TRACE(testing::Message() << "visible " << visible);
    DotCounter window;
    const kvt_view_backend table = window.table();
    KeyboardPlayback song(100);
    song.view.window().set_backend(&table);
    song.view.window().set_view(0, 0, visible);
    ASSERT_EQ(song.play(path, dir / "voices", 2), 0);
    unsigned long lit_seen = 0;
    for (int i = 0; i < 500 && lit_seen == 0; ++i) {
      const kvt_view_snapshot snap = song.view.window().snapshot();
      for (int k = 0; k < KVT_VIEW_KEYS; ++k) lit_seen += snap.lit[0][k];
      std::this_thread::sleep_for(10ms);
    }
    song.playback.waveout_stop();
    EXPECT_GT(lit_seen, 0u);
    EXPECT_EQ(window.dots > 0, visible == 1);
    EXPECT_EQ(window.names, std::vector<std::string>{"0 fifteen-bytes!! narrow"});
  }
}


// The one key lit in row 0 of a keyboard picture, or -1 when none is.
template <class Row>
int only_key(const Row& row) {
  for (int k = 0; k < KVT_VIEW_KEYS; ++k) {
    if (row[k] != 0) return k;
  }
  return -1;
}

// At real speed the view keeps pace with the card: whenever a buffer has
// played, the keys shown are those the analyser shows at some tick within
// a buffer of the audio position.
TEST(VisualPlayback, AtEveryPlayedBufferTheKeysShownAreThoseWithinABufferOfTheAudio) {
  constexpr int kTicksPerBuffer = 768;  // 12288 frames at 44100 Hz
  ScratchDir dir;
  Bytes part{0x73, 0, 0x6D, 245};
  for (int i = 0; i < 60; ++i) part.insert(part.end(), {static_cast<std::uint8_t>(20 + i), 2});  // 56 ticks each
  part.push_back(0xFF);
  const ToneSong tone = tone_song({part});
  const std::string path = dir.write("steps.kvt", tone.song);
  dir.write("voices/tone.kvw", tone.voice);

  FollowedSong reference(tone.song);
  std::vector<int> shown_at{only_key(reference.analyzer.poti1[0])};
  for (int t = 0; t < 60 * 56 + 2 * kTicksPerBuffer; ++t) {
    reference.run(1);
    shown_at.push_back(only_key(reference.analyzer.poti1[0]));
  }
  auto shown_near = [&](int ticks, int key) {
    const int from = std::max(0, ticks - kTicksPerBuffer);
    const int to = std::min<int>(static_cast<int>(shown_at.size()) - 1, ticks + kTicksPerBuffer);
    return std::find(shown_at.begin() + from, shown_at.begin() + to + 1, key) != shown_at.begin() + to + 1;
  };

  KeyboardPlayback song(1);
  ASSERT_EQ(song.play(path, dir / "voices", 0), 0);
  unsigned long last_frames = 0;
  int boundaries = 0;
  while (song.notices.count(KVT_COMMAND_SONG_END) == 0) {
    const kvt_play_state state = song.playback.state();
    if (state.playing == 1 && state.frames != last_frames) {
      last_frames = state.frames;
      const int ticks = static_cast<int>(state.frames / 12288) * kTicksPerBuffer;
      const int key = only_key(song.view.window().snapshot().lit[0]);
      EXPECT_TRUE(shown_near(ticks, key)) << "key " << key << " at tick " << ticks;
      ++boundaries;
    }
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_GE(boundaries, 4);
}

}  // namespace
}  // namespace kvt::test
