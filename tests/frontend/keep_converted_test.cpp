// Keeping a converted song beside its source: the copy appears whole or not
// at all, and a failed copy leaves an earlier file as it was.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "frontend_fixture.h"
#include "keep_converted.h"
#include "smf_builder.h"
#include "song_pipeline.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;
using frontend::keep_converted;
using frontend::Message;
using frontend::MessageKind;
using frontend::Outcome;

class FrontendKeep : public RuntimeDirTest {
 protected:
  FrontendKeep()
      : midi(dir.write("tune.mid",
                       smf_file(0, 96, {smf_track({program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60)})}))),
        song(frontend::song_for(midi, "", {90, 100, 4, 0, 0})) {}

  ScratchDir dir;
  std::string midi;
  frontend::SongData song;
};

TEST_F(FrontendKeep, TheConvertedSongAppearsBesideItsSourceUnderItsName) {
  ASSERT_TRUE(song.ok);
  const Outcome kept = keep_converted(midi, song.path);
  EXPECT_TRUE(kept.ok);
  EXPECT_EQ(kept.messages, std::vector<Message>{});
  EXPECT_EQ(read_file(dir / "tune.kvt"), read_file(song.path));
  EXPECT_EQ(dir.entries().size(), 2u) << "tune.mid and tune.kvt, no temporary file";
}

TEST_F(FrontendKeep, AnEarlierFileIsReplaced) {
  ASSERT_TRUE(song.ok);
  dir.write("tune.kvt", {'o', 'l', 'd'});
  EXPECT_TRUE(keep_converted(midi, song.path).ok);
  EXPECT_EQ(read_file(dir / "tune.kvt"), read_file(song.path));
}

// As on a full disk: files may grow to 1024 bytes only, and the signal for
// going past that is ignored, so that the write itself fails part way.
TEST_F(FrontendKeep, ACopyThatFailsPartWayLeavesTheEarlierFileAndSaysWhy) {
  ASSERT_TRUE(song.ok);
  ASSERT_GT(read_file(song.path).size(), 1024u);
  dir.write("tune.kvt", {'o', 'l', 'd'});
  struct rlimit was {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = was;
  small.rlim_cur = 1024;
  setrlimit(RLIMIT_FSIZE, &small);
  const Outcome kept = keep_converted(midi, song.path);
  setrlimit(RLIMIT_FSIZE, &was);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(kept.ok);
  EXPECT_EQ(kept.messages,
            (std::vector<Message>{{MessageKind::error, "cannot write " + (dir / "tune.kvt") + ": file too large"}}));
  EXPECT_EQ(read_file(dir / "tune.kvt"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.entries().size(), 2u) << "tune.mid and tune.kvt, no half-written file";
}

TEST_F(FrontendKeep, WhatCannotBeCopiedIsNamedWithTheReason) {
  fs::create_directory(dir / "folder.kvt");
  const Outcome onto_folder = keep_converted(dir / "folder.mid", song.path);
  EXPECT_EQ(onto_folder.messages,
            (std::vector<Message>{{MessageKind::error, "cannot write " + (dir / "folder.kvt") + ": is a folder"}}));
  EXPECT_TRUE(fs::is_directory(dir / "folder.kvt"));

  dir.write("tune.kvt", {'o', 'l', 'd'});
  const std::string gone = runtime / "gone.kvt";
  const Outcome from_nothing = keep_converted(midi, gone);
  EXPECT_FALSE(from_nothing.ok);
  EXPECT_EQ(from_nothing.messages,
            (std::vector<Message>{{MessageKind::error, "cannot keep the converted song: " + gone + " is not found"}}));
  EXPECT_EQ(read_file(dir / "tune.kvt"), (Bytes{'o', 'l', 'd'}));
}

}  // namespace
}  // namespace kvt::test
