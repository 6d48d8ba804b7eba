// SIGINT, SIGTERM and SIGHUP sent for real to the `kvt` command: whatever
// it is doing, it stops, leaves no partial output and no scratch directory
// behind, and exits 128 + the signal's number. Ignored signals stay ignored.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Renders for seconds: a tempo so slow that one pass lasts many minutes.
const std::vector<Bytes> kSlowSong = {{0x73, 0, 0x6D, 245, 0x79, 0x71, 0xFF, 0xFF, 36, 255, 0xFF}};

// One note of MIDI, on the default voice bank, `beats` long at 120 beats a minute.
Bytes tune(std::uint32_t beats) {
  return smf_file(0, 96, {smf_track({track_name(0, "Tune"), program(0, 1, 0), note_on(0, 1, 60),
                                     note_off(96 * beats, 1, 60)})});
}

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

bool holds_part_file(const ScratchDir& dir) {
  for (const std::string& name : dir.entries()) {
    if (name.find(".part-") != std::string::npos) return true;
  }
  return false;
}

// The id of a process that has ended.
pid_t gone_process() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

class SignalsTest : public ToneSongTest {
 protected:
  SignalsTest() : ToneSongTest(kSlowSong, "Song.kvt", "voices/tone.kvw") {
    dir.write("tune.mid", tune(4800));  // 40 minutes: still rendering when the signal comes
    use_disk_card(dir / "card.raw", 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    setenv("TMPDIR", temp.path().c_str(), 1);
  }
  ~SignalsTest() override {
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("TMPDIR");
  }

  std::vector<std::string> render(std::vector<std::string> extra = {}) const {
    // Twenty passes: the renderer gets through one in tens of milliseconds.
    std::vector<std::string> a = {"wav", song, "--voices", dir / "voices", "--rate", "11025", "--mono", "--loop", "20"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  }
  static RunOptions signal_when(int number, Progress ready, int delay_ms = 0) {
    RunOptions options;
    options.signal = SignalPlan{number, std::move(ready), delay_ms};
    return options;
  }
  // Once the output's temporary file is there, and a while later (into the
  // rendering, most likely; the outcome is the same either way).
  RunOptions signal_when_rendering(int number, int delay_ms = 0) const {
    return signal_when(number, [this](const std::string&, const std::string&) { return holds_part_file(dir); }, delay_ms);
  }
  static RunOptions signal_when_playing(int number) {
    return signal_when(number, [](const std::string& out, const std::string&) { return !out.empty(); });
  }

  ScratchDir runtime;  // $XDG_RUNTIME_DIR
  ScratchDir temp;     // $TMPDIR
};

TEST_F(SignalsTest, StoppedRenderingLeavesTheEarlierFileAsItWas) {
  const Bytes earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  for (const int number : kStopSignals) {
    SCOPED_TRACE(strsignal(number));
    dir.write("Song.wav", earlier);
    const CommandRun run = run_kvt(render(), signal_when_rendering(number, 100));
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.status, 128 + number);
    EXPECT_EQ(run.err, "kvt: interrupted; " + (dir / "Song.wav") + " left as it was\n");
    EXPECT_EQ(read_file(dir / "Song.wav"), earlier);
    EXPECT_EQ(sorted(dir.entries()), sorted({"Song.kvt", "Song.wav", "tune.mid", "voices"}));
  }
}

TEST_F(SignalsTest, StoppedRenderingWithoutAnEarlierFileLeavesNone) {
  const CommandRun run = run_kvt(render(), signal_when_rendering(SIGTERM, 200));
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 128 + SIGTERM);
  EXPECT_EQ(run.err, "kvt: interrupted; no file written\n");
  EXPECT_EQ(sorted(dir.entries()), sorted({"Song.kvt", "tune.mid", "voices"}));
}

TEST_F(SignalsTest, KeepPartialAsksForNothingWhenNothingWasWritten) {
  // The first of the two passes of 8-bit output writes nothing yet.
  const CommandRun run = run_kvt(render({"--bits", "8", "--keep-partial"}), signal_when_rendering(SIGINT));
  EXPECT_EQ(run.status, 128 + SIGINT);
  EXPECT_EQ(run.err, "kvt: interrupted; no file written\n");
  EXPECT_EQ(sorted(dir.entries()), sorted({"Song.kvt", "tune.mid", "voices"}));
}

TEST_F(SignalsTest, ConversionFinishesThenTheCommandStopsAndCleansUp) {
  for (const int number : kStopSignals) {
    SCOPED_TRACE(strsignal(number));
    const CommandRun run = run_kvt({"wav", dir / "tune.mid", "--rate", "11025", "--mono", "--bits", "8"},
                                   signal_when(number, [this](const std::string&, const std::string&) {
                                     return !runtime.entries().empty();
                                   }));
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.status, 128 + number);
    EXPECT_EQ(run.err, "kvt: interrupted; no file written\n");
    EXPECT_TRUE(runtime.entries().empty());
    EXPECT_EQ(sorted(dir.entries()), sorted({"Song.kvt", "tune.mid", "voices"}));
  }
}

TEST_F(SignalsTest, PlayStopsAtOnceAndRemovesItsScratchDirectory) {
  for (const int number : kStopSignals) {
    SCOPED_TRACE(strsignal(number));
    const CommandRun run = run_kvt({"play", "--repeat", dir / "tune.mid"}, signal_when_playing(number));
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.status, 128 + number);
    EXPECT_EQ(run.out, "Title : Tune\n");
    EXPECT_TRUE(runtime.entries().empty());
    EXPECT_TRUE(temp.entries().empty());
  }
}

TEST_F(SignalsTest, ScratchDirectoryIsPrivateAndNamedAfterItsOwner) {
  std::vector<std::string> while_playing;
  struct stat scratch {};
  const CommandRun run = run_kvt({"play", "--repeat", dir / "tune.mid"},
                                 signal_when(SIGINT, [&](const std::string& out, const std::string&) {
                                   if (out.empty()) return false;
                                   while_playing = runtime.entries();
                                   if (while_playing.size() == 1) stat((runtime / while_playing[0]).c_str(), &scratch);
                                   return true;
                                 }));
  EXPECT_EQ(run.status, 128 + SIGINT);
  ASSERT_EQ(while_playing.size(), 1u) << "in $XDG_RUNTIME_DIR";
  const std::string& name = while_playing[0];
  EXPECT_EQ(name.substr(0, name.size() - 6), "kvt97-" + std::to_string(run.pid) + "-");
  EXPECT_EQ(scratch.st_mode & 07777, 0700u);
  EXPECT_TRUE(temp.entries().empty());
}

TEST_F(SignalsTest, SignalsIgnoredAtTheStartStayIgnored) {
  dir.write("short.kvt", tone_song({{0x73, 0, 0x6D, 245, 40, 24, 0xFF}}).song);
  use_disk_card(dir / "card.raw", 20);  // near real time: the song lasts a while
  for (const int number : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    RunOptions options = signal_when_playing(number);
    options.ignored = {SIGINT, SIGHUP};
    const CommandRun run = run_kvt({"play", dir / "short.kvt", "--voices", dir / "voices"}, options);
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Title : None\n");
  }
}

TEST_F(SignalsTest, StaleScratchOfAProcessNowGoneIsRemovedAtTheNextStart) {
  const std::string gone = std::to_string(gone_process()), alive = std::to_string(getpid());
  for (const bool runtime_set : {true, false}) {
    SCOPED_TRACE(runtime_set ? "in $XDG_RUNTIME_DIR" : "in the temporary directory");
    if (!runtime_set) unsetenv("XDG_RUNTIME_DIR");
    const ScratchDir& base = runtime_set ? runtime : temp;
    base.write("kvt97-" + gone + "-AbC123/kvt97.kvt", {1});
    base.write("kvt97-" + alive + "-AbC123/kvt97.kvt", {1});
    base.write("kvt97-" + gone + "-file00", {1});
    base.write("other-" + gone + "-AbC123/kvt97.kvt", {1});
    dir.write("short.mid", tune(1));
    const CommandRun run = run_kvt({"wav", dir / "short.mid", "--rate", "11025"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sorted(base.entries()),
              sorted({"kvt97-" + alive + "-AbC123", "kvt97-" + gone + "-file00", "other-" + gone + "-AbC123"}));
  }
}

}  // namespace
}  // namespace kvt::test
