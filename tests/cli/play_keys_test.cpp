// `kvt play` steered by keys on its input terminal: pause, quit, next and
// previous song, seeking, volume, and the terminal's mode given back.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <csignal>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

const std::vector<Bytes> kLoopingSong = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};

Progress printed(const std::string& text) {
  return [text](const std::string& out, const std::string& err) {
    return out.find(text) != std::string::npos || err.find(text) != std::string::npos;
  };
}

class PlayKeysTest : public ToneSongTest {
 protected:
  PlayKeysTest() : ToneSongTest(kLoopingSong, "Loop.kvt", "voices/tone.kvw") {
    use_disk_card(dir / "card.raw", 20);  // nearer real time: the song lasts while keys come
    setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  }
  ~PlayKeysTest() override { unsetenv("XDG_RUNTIME_DIR"); }

  CommandRun play(std::vector<std::string> a, std::vector<KeyPlan> keys, std::optional<SignalPlan> signal = {}) {
    a.insert(a.begin(), "play");
    a.insert(a.end(), {"--voices", dir / "voices", "--rate", "22050", "--loop", "50"});
    RunOptions options;
    options.terminal_columns = 100;
    options.keys = std::move(keys);
    options.signal = std::move(signal);
    return run_kvt(a, options);
  }

  ScratchDir scratch;
};

TEST_F(PlayKeysTest, QuitEndsAtOnceAndGivesTheTerminalBack) {
  const CommandRun run = play({song}, {{"q", printed("pass 1")}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.input_mode_kept);

  const CommandRun interrupted = play({song}, {{"", printed("pass 1")}}, SignalPlan{SIGINT, printed("pass 1")});
  EXPECT_EQ(interrupted.status, 130);
  EXPECT_TRUE(interrupted.input_mode_kept);
}

TEST_F(PlayKeysTest, SpacePausesAndResumesAndTheVolumeShows) {
  const CommandRun run = play({song}, {{" ", printed("pass 1")}, {"?", printed("paused")}, {" ", printed("keys:")},
                                       {"++", [](const std::string&, const std::string& err) {
                                          return err.rfind("paused") < err.rfind("pass");  // resumed
                                        }},
                                       {"-", printed("+2 dB")}, {"q", printed("+1 dB")}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("keys: space pause/resume"), std::string::npos) << run.err;
  EXPECT_TRUE(run.input_mode_kept);
}

TEST_F(PlayKeysTest, NextAndPreviousMoveAlongTheList) {
  dir.write("Other.kvt", tone_song(kLoopingSong).song);
  const CommandRun run = play({"--list", song, dir / "Other.kvt"},
                              {{"n", printed("1/2 Loop.kvt")}, {"p", printed("2/2 Other.kvt")},
                               {"n", [](const std::string&, const std::string& err) {
                                  return err.rfind("1/2 Loop.kvt") > err.find("2/2 Other.kvt");
                                }},
                               {"n", [](const std::string& out, const std::string&) { return out.size() >= 3 * 14; }}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Title : None\nTitle : None\nTitle : None\nTitle : None\n");
}

// Whether, after the last `before`, the status line came to `after`.
Progress moved(const std::string& before, const std::string& after) {
  return [before, after](const std::string&, const std::string& err) {
    const std::size_t from = err.rfind(before);
    return from != std::string::npos && err.find(after, from) != std::string::npos;
  };
}

TEST_F(PlayKeysTest, StartAndArrowKeysSeekInTheSong) {
  const std::string left = "\x1b[D", up = "\x1b[A", down = "\x1bOB";  // either form a terminal sends
  const CommandRun run = play({song, "--start", "0:20"},
                              {{left, printed("0:20")}, {up, moved("0:20", "0:1")}, {down, moved("0:1", "1:1")},
                               {"q", moved("1:1", "0:1")}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("0:0"), std::string::npos) << run.err;  // it never played from the song's start
  EXPECT_EQ(run.out, "Title : None\n");
  EXPECT_TRUE(run.input_mode_kept);
}

TEST_F(PlayKeysTest, StartTakesOnlyATime) {
  const CommandRun run = play({song, "--start", "1:75"}, {});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--start takes SECONDS, M:SS or H:MM:SS up to 6:00:00, not 1:75"), std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace kvt::test
