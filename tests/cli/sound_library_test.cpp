// SDL is opened only when something is to sound: the commands that convert,
// render or show songs start without it and the many libraries that it
// brings, which the dynamic loader's own report (LD_DEBUG) shows.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <optional>
#include <sstream>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

const std::vector<Bytes> kNote = {{0x73, 0, 0x6D, 245, 36, 48, 0xFF}};

// The loader's lines about the file `name` (each "file=NAME [..]; needed
// by ..." or "...; dynamically loaded by ...").
std::vector<std::string> loader_lines_for(const std::string& report, const std::string& name) {
  std::vector<std::string> lines;
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) {
    if (line.find("file=" + name) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

// An environment variable for the commands run while it lives; the one
// before it comes back after.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class SoundLibraryTest : public ToneSongTest {
 protected:
  SoundLibraryTest() : ToneSongTest(kNote, "Song.kvt", "voices/tone.kvw") {
    use_disk_card(dir / "card.raw", 1);
    setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  }
  ~SoundLibraryTest() override { unsetenv("XDG_RUNTIME_DIR"); }

  ScratchDir scratch;
  const ScopedVariable loader_report{"LD_DEBUG", "files"};  // read by each command's loader, not by this process
};

TEST_F(SoundLibraryTest, CommandsWithoutSoundNeverLoadIt) {
  dir.write("tune.mid", smf_file(0, 96, {smf_track({track_name(0, "Tune"), note_on(0, 1, 60), note_off(96, 1, 60)})}));
  const std::vector<std::vector<std::string>> commands = {
      {"wav", song, "--voices", dir / "voices", "-o", dir / "song.wav"},
      {"title", dir / "tune.mid"},
      {"info", song},
      {"mid2kvt", dir / "tune.mid", "-o", dir / "tune.kvt"},
      {"wav", dir / "tune.mid", "-o", dir / "tune.wav"},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(testing::PrintToString(command));
    const CommandRun run = run_kvt(command);
    EXPECT_EQ(run.status, 0) << run.err;
    // The report is there: the player library itself is in it.
    EXPECT_FALSE(loader_lines_for(run.err, "libkvt.so").empty()) << run.err;
    EXPECT_TRUE(loader_lines_for(run.err, "libSDL2").empty()) << run.err;
  }
}

TEST_F(SoundLibraryTest, PlayingOpensItOnTheWay) {
  ASSERT_EQ(run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "song.wav"}).status, 0);
  for (const std::string& what : {song, dir / "song.wav"}) {
    SCOPED_TRACE(what);
    const CommandRun run = run_kvt({"play", what, "--voices", dir / "voices"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = loader_lines_for(run.err, "libSDL2");
    ASSERT_FALSE(lines.empty()) << run.err;
    EXPECT_NE(lines[0].find("dynamically loaded by"), std::string::npos) << lines[0];
    EXPECT_GT(read_file(dir / "card.raw").size(), 0u);
  }
}

TEST_F(SoundLibraryTest, WithoutAUsableLibraryPlayingFailsSayingWhy) {
  ASSERT_EQ(run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "song.wav"}).status, 0);
  // A file of that name first in the search path, which the loader cannot load.
  const ScratchDir broken;
  broken.write("libSDL2-2.0.so.0", {});
  const ScopedVariable search_path("LD_LIBRARY_PATH", broken.path().string());
  for (const std::string& what : {song, dir / "song.wav"}) {
    SCOPED_TRACE(what);
    const CommandRun run = run_kvt({"play", what, "--voices", dir / "voices"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.exited) << "no crash";
    EXPECT_NE(run.err.find("kvt: no sound device could be opened (SDL: libSDL2-2.0.so.0 could not be loaded: "),
              std::string::npos)
        << run.err;
  }
}

}  // namespace
}  // namespace kvt::test
