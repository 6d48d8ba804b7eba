// Several songs or sources given to one command: each is worked on as if
// alone, N at a time, a failing one is reported and skipped, and a stop
// signal ends them all without leaving anything half done.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
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

// Whether the text from `first` up to `last` (each found once, in that
// order) holds `other` nowhere: a job's block that no other job's broke.
bool is_whole(const std::string& text, const std::string& first, const std::string& last, const std::string& other) {
  const std::size_t from = text.find(first);
  const std::size_t to = text.find(last, from);
  return count_of(text, first) == 1 && from != std::string::npos && to != std::string::npos &&
         text.substr(from + first.size(), to - from - first.size()).find(other) == std::string::npos;
}

Bytes mml(const std::string& text) { return Bytes(text.begin(), text.end()); }

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

  // The scratch directories in $XDG_RUNTIME_DIR with a rendering under way.
  std::size_t renderings() const {
    using std::filesystem::directory_iterator;
    std::size_t n = 0;
    std::error_code error;  // a job may remove its directory meanwhile
    for (directory_iterator scratch(runtime.path(), error); !error && scratch != directory_iterator();
         scratch.increment(error)) {
      std::error_code gone;
      for (directory_iterator entry(scratch->path(), gone); !gone && entry != directory_iterator();
           entry.increment(gone)) {
        if (entry->path().filename().string().rfind("rendering.", 0) == 0) {
          ++n;
          break;
        }
      }
    }
    return n;
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
  // Once both running jobs are rendering, each in a scratch directory of its own.
  options.signal = SignalPlan{SIGINT, [this](const std::string&, const std::string&) { return renderings() == 2; }, 200};
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

TEST_F(BatchTest, Mid2kvtConvertsEachFileAsASingleRunWould) {
  const ScratchDir out;
  const CommandRun batch =
      run_kvt({"mid2kvt", dir / "a.mid", dir / "b.mid", dir / "c.mid", "-j", "2", "--out-dir", out.path().string()});
  ASSERT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(sorted(out.entries()), sorted({"a.kvt", "b.kvt", "c.kvt"}));
  for (const std::string name : {"a", "b", "c"}) {
    const std::string single = dir / (name + ".kvt");
    ASSERT_EQ(run_kvt({"mid2kvt", dir / (name + ".mid")}).status, 0);
    EXPECT_EQ(read_file(out / (name + ".kvt")), read_file(single)) << name;
    // Each report whole, right above its file's line.
    EXPECT_TRUE(is_whole(batch.out, "Converter Ver1.56 ... '" + (dir / (name + ".mid")) + "'",
                         "ok: " + (out / (name + ".kvt")) + "\n", "Converter"))
        << batch.out;
  }
  EXPECT_TRUE(batch.out.ends_with("\n3 done, 0 failed\n")) << batch.out;
  EXPECT_EQ(batch.err, "");
}

TEST_F(BatchTest, Mid2kvtSkipsAFileThatIsNoMidi) {
  dir.write("bad.mid", mml("not a MIDI file\n"));
  const CommandRun run =
      run_kvt({"mid2kvt", dir / "a.mid", dir / "bad.mid", dir / "missing.mid", dir / "c.mid", "-j", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(is_whole(run.err, "Converter Ver1.56 ... '" + (dir / "bad.mid") + "'",
                       "/4] failed: " + (dir / "bad.mid") + "\n", "Converter"))
      << run.err;
  EXPECT_NE(run.err.find("cannot read " + (dir / "missing.mid")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("/4] failed: " + (dir / "missing.mid") + "\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.ends_with("\n2 done, 2 failed\n")) << run.out;
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "a.kvt", "b.mid", "bad.mid", "c.mid", "c.kvt"}));
}

TEST_F(BatchTest, Mid2kvtOutputOptions) {
  EXPECT_EQ(run_kvt({"mid2kvt", dir / "a.mid", dir / "b.mid", "-o", dir / "x.kvt"}).status, 2);
  EXPECT_EQ(run_kvt({"mid2kvt", dir / "a.mid", "-o", dir / "x.kvt", "--out-dir", dir.path().string()}).status, 2);
  EXPECT_EQ(run_kvt({"mid2kvt", dir / "a.mid", dir / "b.mid", "-j", "0"}).status, 2);
  const CommandRun missing = run_kvt({"mid2kvt", dir / "a.mid", dir / "b.mid", "--out-dir", dir / "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot write into " + (dir / "none")), std::string::npos) << missing.err;
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "b.mid", "c.mid"}));
  // One file may go into a folder too, and is told as one file alone is.
  const ScratchDir out;
  const CommandRun one = run_kvt({"mid2kvt", dir / "a.mid", "--out-dir", out.path().string()});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_TRUE(one.out.ends_with("\n" + (out / "a.kvt") + "\n")) << one.out;
  EXPECT_EQ(out.entries(), std::vector<std::string>{"a.kvt"});
}

class BatchMmlTest : public BatchTest {
 protected:
  BatchMmlTest() {
    dir.write("a.mml", mml("!\"A\"\nA @0 v120 o4 cdef g2\n"));
    dir.write("b.mml", mml("!\"B\"\nA @0 v120 o5 c4 e4\n"));
    dir.write("c.mml", mml("!\"C\"\nA @0 v100 o3 g1\n"));
  }
};

TEST_F(BatchMmlTest, CompilesEachSourceAsASingleRunWould) {
  dir.write("c.KVT", mml("old"));
  const ScratchDir out;
  const CommandRun batch =
      run_kvt({"mml", dir / "a.mml", dir / "b.mml", dir / "c.mml", "-j", "2", "--out-dir", out.path().string()});
  ASSERT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(sorted(out.entries()), sorted({"a.KVT", "b.KVT", "c.KVT"}));
  EXPECT_EQ(read_file(dir / "c.KVT"), mml("old")) << "the song beside the source stays as it was";
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.mid", "a.mml", "b.mid", "b.mml", "c.KVT", "c.mid", "c.mml"}));
  for (const std::string name : {"a", "b", "c"}) {
    ASSERT_EQ(run_kvt({"mml", dir / (name + ".mml")}).status, 0);
    EXPECT_EQ(read_file(out / (name + ".KVT")), read_file(dir / (name + ".KVT"))) << name;
    EXPECT_TRUE(is_whole(batch.out, "Compiler .. " + (dir / (name + ".mml")) + "\n",
                         "ok: " + (out / (name + ".KVT")) + "\n", "Compiler"))
        << batch.out;
  }
  EXPECT_TRUE(batch.out.ends_with("\n3 done, 0 failed\n")) << batch.out;
}

TEST_F(BatchMmlTest, CompileErrorsAreToldWholeAndTheOthersCompiled) {
  dir.write("bad.mml", mml("A @0 x\n"));
  dir.write("bad2.mml", mml("; song\nA v300\n"));
  const ScratchDir out;
  const CommandRun run = run_kvt({"mml", dir / "a.mml", dir / "bad.mml", dir / "b.mml", dir / "bad2.mml", dir / "c.mml",
                                  "-j", "2", "--out-dir", out.path().string()});
  EXPECT_EQ(run.status, 1);
  // Each editor's line once, then the report whose mark shows the same place,
  // then the failure, with nothing of the other failing job in between.
  const std::string first = (dir / "bad.mml") + ":1:6: error: 構文エラーです.\n";
  const std::string second = (dir / "bad2.mml") + ":2:4: error: ";
  EXPECT_TRUE(run.err.starts_with(first) || run.err.find("\n" + first) != std::string::npos) << run.err;
  EXPECT_TRUE(run.err.starts_with(second) || run.err.find("\n" + second) != std::string::npos) << run.err;
  EXPECT_TRUE(is_whole(run.err, first, "A @0 x\n     ~\nkvt: [", "bad2.mml")) << run.err;
  EXPECT_TRUE(is_whole(run.err, second, "A v300\n   ~~~\nkvt: [", "/bad.mml")) << run.err;
  EXPECT_NE(run.err.find("/5] failed: " + (dir / "bad.mml") + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("/5] failed: " + (dir / "bad2.mml") + "\n"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.ends_with("\n3 done, 2 failed\n")) << run.out;
  EXPECT_EQ(sorted(out.entries()), sorted({"a.KVT", "b.KVT", "c.KVT"}));
  EXPECT_EQ(sorted(dir.entries()),
            sorted({"a.mid", "a.mml", "b.mid", "b.mml", "bad.mml", "bad2.mml", "c.mid", "c.mml"}));
}

TEST_F(BatchMmlTest, OutputFolders) {
  const CommandRun missing = run_kvt({"mml", dir / "a.mml", dir / "b.mml", "--out-dir", dir / "none"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot write into " + (dir / "none")), std::string::npos) << missing.err;
  EXPECT_EQ(run_kvt({"mml", dir / "a.mml", dir / "b.mml", "-j", "65"}).status, 2);
  // The source's own folder is beside it.
  const CommandRun own = run_kvt({"mml", dir / "a.mml", "--out-dir", dir.path().string()});
  ASSERT_EQ(own.status, 0) << own.err;
  EXPECT_TRUE(own.out.ends_with("\n" + (dir / "a.KVT") + "\n")) << own.out;
  EXPECT_EQ(sorted(dir.entries()), sorted({"a.KVT", "a.mid", "a.mml", "b.mid", "b.mml", "c.mid", "c.mml"}));
  // A song in the folder in another letter case is replaced, as beside the source.
  const ScratchDir out;
  out.write("b.kvt", mml("old"));
  const CommandRun other = run_kvt({"mml", dir / "b.mml", "--out-dir", out.path().string()});
  ASSERT_EQ(other.status, 0) << other.err;
  EXPECT_EQ(out.entries(), std::vector<std::string>{"b.kvt"});
  EXPECT_NE(read_file(out / "b.kvt"), mml("old"));
  // Into another file system the song is copied, whole, and nothing stays beside the source.
  if (std::filesystem::is_directory("/dev/shm")) {
    const std::string shm = "/dev/shm/kvt-batch-" + std::to_string(getpid());
    std::filesystem::create_directory(shm);
    const CommandRun far = run_kvt({"mml", dir / "c.mml", "--out-dir", shm});
    EXPECT_EQ(far.status, 0) << far.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "c.KVT"));
    ASSERT_EQ(run_kvt({"mml", dir / "c.mml"}).status, 0);
    EXPECT_EQ(read_file(shm + "/c.KVT"), read_file(dir / "c.KVT"));
    std::filesystem::remove_all(shm);
  }
}

}  // namespace
}  // namespace kvt::test
