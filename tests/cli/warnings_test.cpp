// Songs with nothing to hear succeed, with a warning on stderr.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Warnings, SongsWithNothingToHearWarnButSucceed) {
  const ScratchDir dir;
  // Lower-case headers name no part.
  const std::string source = dir.write("lower.mml", Bytes{'a', ' ', 'c', 'd', 'e', '\n'});
  const CommandRun mml = run_kvt({"mml", source});
  EXPECT_EQ(mml.status, 0) << mml.err;
  EXPECT_EQ(mml.err, "kvt: warning: " + source + " names no part: a part's lines start with its capital letter A to P (\"A cde\")\n");

  const std::string song = dir / "lower.KVT";
  const CommandRun wav = run_kvt({"wav", song, "-o", dir / "silent.wav"});
  EXPECT_EQ(wav.status, 0) << wav.err;
  EXPECT_TRUE(holds(wav.err, "kvt: warning: " + song + " has no parts\n")) << wav.err;
  EXPECT_TRUE(holds(wav.err, "kvt: warning: " + (dir / "silent.wav") + " holds no sound: the song lasts no time\n"))
      << wav.err;

  const std::string midi = dir.write("tempo.mid", smf_file(0, 48, {smf_track({tempo(0, 500000)})}));
  const CommandRun converted = run_kvt({"mid2kvt", midi});
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(converted.err, "kvt: warning: converting " + midi + " produced no notes\n");
}

TEST(Warnings, SongsWithNotesDoNotWarn) {
  const ScratchDir dir;
  const std::string source = dir.write("tune.mml", Bytes{'A', ' ', '@', '0', ' ', 'c', 'd', 'e', '\n'});
  const CommandRun wav = run_kvt({"wav", source, "--rate", "11025"});
  EXPECT_EQ(wav.status, 0) << wav.err;
  EXPECT_FALSE(holds(wav.err, "warning")) << wav.err;
  const std::string midi = dir.write("tune.mid", smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(48, 1, 60)})}));
  const CommandRun converted = run_kvt({"mid2kvt", midi});
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(converted.err, "");
}

}  // namespace
}  // namespace kvt::test
