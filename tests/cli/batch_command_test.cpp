// Several songs or sources given to one command: each is worked on as if
// alone, N at a time, a failing one is reported and skipped, and a stop
// signal ends them all without leaving anything half done.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

// A tune of `beats` beats whose first note is `key`, so that each renders differently.
Bytes tune(std::uint8_t key, std::uint32_t beats = 2) {
  return smf_file(0, 96, {smf_track({track_name(0, "Tune"), program(0, 1, 0), note_on(0, 1, key),
                                     note_off(96 * beats, 1, key)})});
}

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string read_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() {
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    setenv("TMPDIR", temp.path().c_str(), 1);
    dir.write("a.mid", tune(60));
    dir.write("b.mid", tune(64));
    dir.write("c.mid", tune(67));
  }
  ~BatchTest() override {
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("TMPDIR");
  }

  ScratchDir dir;
  ScratchDir runtime;  // $XDG_RUNTIME_DIR
  ScratchDir temp;     // $TMPDIR
};

TEST_F(BatchTest, WavRendersEachSongAsASingleRunWould) {
  for (const std::string format : {"wav", "flac"}) {
    SCOPED_TRACE(format);
    const ScratchDir out;
    const CommandRun batch = run_kvt({"wav", dir / "a.mid", dir / "b.mid", dir / "c.mid", "-j", "2", "--out-dir",
                                      out.path().string(), "--format", format, "--rate", "22050", "--loop", "1"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(sorted(out.entries()), sorted({"a." + format, "b." + format, "c." + format}));
    for (const std::string name : {"a", "b", "c"}) {
      const std::string single = dir / ("single." + format);
      ASSERT_EQ(run_kvt({"wav", dir / (name + ".mid"), "-o", single, "--rate", "22050", "--loop", "1"}).status, 0);
      EXPECT_EQ(read_file(out / (name + "." + format)), read_file(single)) << name;
      EXPECT_EQ(count_of(batch.out, "ok: " + (out / (name + "." + format)) + " (Title : Tune)\n"), 1u) << batch.out;
    }
    // On a pipe: a line for each finished song, then the summary.
    EXPECT_EQ(count_of(batch.out, "/3] ok: "), 3u);
    EXPECT_TRUE(batch.out.ends_with("\n3 done, 0 failed\n")) << batch.out;
    EXPECT_TRUE(runtime.entries().empty());
  }
}

TEST_F(BatchTest, WavWritesBesideEachSongOneAfterAnother) {
  const CommandRun run = run_kvt({"wav", dir / "a.mid", dir / "b.mid", "-j", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "[1/2] ok: " + (dir / "a.wav") + " (Title : Tune)\n[2/2] ok: " + (dir / "b.wav") +
                         " (Title : Tune)\n2 done, 0 failed\n");
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "a.wav", "b.mid", "b.wav", "c.mid"}));
}

TEST_F(BatchTest, AFailingSongIsReportedAndTheOthersWritten) {
  dir.write("bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96});
  const CommandRun run = run_kvt({"wav", dir / "a.mid", dir / "bad.mid", dir / "missing.mid", dir / "c.mid"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("ERROR! This format is not supported. (2)"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("/4] failed: " + (dir / "bad.mid") + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("cannot read " + (dir / "missing.mid")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("/4] failed: " + (dir / "missing.mid") + "\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.ends_with("\n2 done, 2 failed\n")) << run.out;
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "a.wav", "b.mid", "bad.mid", "c.mid", "c.wav"}));
  EXPECT_TRUE(runtime.entries().empty());
}

TEST_F(BatchTest, WavRefusesWhatDoesNotFitSeveralSongs) {
  EXPECT_EQ(run_kvt({"wav", dir / "a.mid", dir / "b.mid", "-o", dir / "x.wav"}).status, 2);
  EXPECT_EQ(run_kvt({"wav", dir / "a.mid", "-o", dir / "x.wav", "--out-dir", dir.path().string()}).status, 2);
  EXPECT_EQ(run_kvt({"wav", dir / "a.mid", dir / "b.mid", "-j", "0"}).status, 2);
  EXPECT_EQ(run_kvt({"wav", dir / "a.mid", dir / "b.mid", "--format", "ogg", "--bits", "8"}).status, 2);
  const CommandRun missing = run_kvt({"wav", dir / "a.mid", dir / "b.mid", "--out-dir", dir / "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot write into " + (dir / "none")), std::string::npos) << missing.err;
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "b.mid", "c.mid"}));
}

TEST_F(BatchTest, OnATerminalEachRunningSongHasALine) {
  dir.write("long.mid", tune(60, 240));
  RunOptions options;
  options.terminal_columns = 100;
  const CommandRun run = run_kvt({"wav", dir / "long.mid", dir / "b.mid", "-j", "2"}, options);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find((dir / "long.mid") + ": starting"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find((dir / "b.mid") + ": starting"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\033[J"), std::string::npos) << "the lines are redrawn in place";
  EXPECT_TRUE(run.out.ends_with("2 done, 0 failed\n")) << run.out;
}

TEST_F(BatchTest, StopSignalEndsEveryJobAndLeavesNothing) {
  dir.write("long1.mid", tune(60, 4800));
  dir.write("long2.mid", tune(64, 4800));
  dir.write("long3.mid", tune(67, 4800));
  RunOptions options;
  // Once both running jobs have their scratch directories, into their renderings.
  options.signal = SignalPlan{
      SIGINT, [this](const std::string&, const std::string&) { return runtime.entries().size() == 2; }, 200};
  const CommandRun run =
      run_kvt({"wav", dir / "long1.mid", dir / "long2.mid", dir / "long3.mid", "-j", "2", "--format", "flac"}, options);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 128 + SIGINT);
  EXPECT_EQ(count_of(run.err, "kvt: interrupted; no file written\n"), 2u) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "b.mid", "c.mid", "long1.mid", "long2.mid", "long3.mid"}));
  EXPECT_TRUE(runtime.entries().empty());
}

// A reader that stops reading early ends the command with a message, its
// scratch directory removed, rather than by SIGPIPE.
TEST_F(BatchTest, WavToAReaderThatGoesAway) {
  const std::string script = "(\"$0\" wav \"$1\" -o - --format flac 2>\"$2\"; echo $? >\"$3\") | true";
  const std::string command = "sh -c '" + script + "' " + KVT_BINARY + " " + (dir / "a.mid") + " " +
                              (dir / "err.txt") + " " + (dir / "status.txt");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(read_text(dir / "status.txt"), "1\n");
  EXPECT_EQ(read_text(dir / "err.txt"), "kvt: cannot write standard output: broken pipe\n");
  EXPECT_TRUE(runtime.entries().empty());
}

}  // namespace
}  // namespace kvt::test
