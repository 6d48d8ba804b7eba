// `kvt play` end to end on SDL's disk audio driver: what reaches the card
// for each kind of file, the play programs, Ctrl-C and failures.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

const std::vector<Bytes> kParts = {
    {0x7C, 120, 80, 30, 0, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 96, 0x75, 40, 43, 24, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};
const std::vector<Bytes> kLoopingSong = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};

constexpr std::size_t kWavHeader = 44;
constexpr std::size_t kSongBufferFrames = 12288;

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class PlayCommandTest : public ToneSongTest {
 protected:
  PlayCommandTest() : ToneSongTest(kParts, "Song.kvt", "voices/tone.kvw") {
    use_disk_card(dir / "card.raw", 1);
    setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
  }
  ~PlayCommandTest() override { unsetenv("XDG_RUNTIME_DIR"); }

  std::vector<std::string> args(std::vector<std::string> a) const {
    a.insert(a.end(), {"--voices", dir / "voices", "--rate", "22050"});
    return a;
  }
  std::vector<std::int16_t> wave_data(const std::string& wav) const {
    return samples_of(read_file(wav), kWavHeader);
  }
  std::vector<std::int16_t> capture() const { return samples_of(read_file(dir / "card.raw")); }

  ScratchDir scratch;  // the command's private directories go here
};

TEST_F(PlayCommandTest, SongPlaysToItsEndAsItsWaveRendering) {
  ASSERT_EQ(run_kvt(args({"wav", song, "-o", dir / "expected.wav"})).status, 0);
  const CommandRun run = run_kvt(args({"play", song}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Title : None\n");
  EXPECT_TRUE(plays_as(capture(), wave_data(dir / "expected.wav"), 2, kSongBufferFrames));

  // The card also plays the rate that WAVE output lacks.
  const CommandRun odd_rate = run_kvt({"play", song, "--voices", dir / "voices", "--rate", "16538"});
  EXPECT_EQ(odd_rate.status, 0) << odd_rate.err;
}

TEST_F(PlayCommandTest, MidiPlaysAsItsConversionAndLeavesNoScratchBehind) {
  dir.write("tune.mid", smf_file(0, 96, {smf_track({track_name(0, "Tune"), program(0, 1, 0), note_on(0, 1, 60),
                                                    note_off(96, 1, 60), note_on(0, 1, 64), note_off(96, 1, 64)})}));
  ASSERT_EQ(run_kvt({"mid2kvt", dir / "tune.mid", "-o", dir / "tune.kvt"}).status, 0);
  ASSERT_EQ(run_kvt({"wav", dir / "tune.kvt", "--rate", "22050", "-o", dir / "tune.wav"}).status, 0);
  const CommandRun run = run_kvt({"play", dir / "tune.mid", "--rate", "22050"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Tune"), std::string::npos) << run.out;
  EXPECT_TRUE(plays_as(capture(), wave_data(dir / "tune.wav"), 2, kSongBufferFrames));
  EXPECT_TRUE(scratch.entries().empty());
}

TEST_F(PlayCommandTest, WaveFilePlaysAsItIs) {
  ASSERT_EQ(run_kvt(args({"wav", song, "-o", dir / "Take.WAV", "--mono"})).status, 0);
  const CommandRun run = run_kvt({"play", dir / "Take.WAV"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Take.WAV\n");
  const std::vector<std::int16_t> expected = wave_data(dir / "Take.WAV");
  EXPECT_TRUE(plays_as(capture(), expected, 1, expected.size()));

  dir.write("broken.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  const CommandRun broken = run_kvt({"play", dir / "broken.wav"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("Can't Play!"), std::string::npos) << broken.err;
}

TEST_F(PlayCommandTest, ListPlaysEveryFileInOrderAndGoesOnPastFailures) {
  dir.write("Second.kvt", tone_song({{0x73, 0, 0x6D, 245, 40, 48, 0xFF}}).song);
  const CommandRun run = run_kvt(args({"play", "--list", song, dir / "missing.kvt", dir / "Second.kvt"}));
  EXPECT_EQ(run.status, 1);  // one of them failed
  EXPECT_EQ(run.out, "Title : None\nTitle : None\n");
  EXPECT_NE(run.err.find("kvt: cannot read " + (dir / "missing.kvt") + ": no such file or directory\n"), std::string::npos) << run.err;
}

// The card's file is written anew each time the device opens: both songs in
// it, in order, show that the device stayed open from one to the next.
TEST_F(PlayCommandTest, ListKeepsTheDeviceOpenFromSongToSong) {
  dir.write("Second.kvt", tone_song({{0x73, 0, 0x6D, 245, 40, 48, 0xFF}}).song);
  ASSERT_EQ(run_kvt(args({"wav", song, "-o", dir / "first.wav"})).status, 0);
  ASSERT_EQ(run_kvt(args({"wav", dir / "Second.kvt", "-o", dir / "second.wav"})).status, 0);
  const CommandRun run = run_kvt(args({"play", "--list", song, dir / "Second.kvt"}));
  ASSERT_EQ(run.status, 0) << run.err;
  // The disk card starts its file afresh whenever it is opened: both songs
  // in one capture, in order, were played through one opening.
  const std::vector<std::int16_t> card = capture();
  const std::vector<std::int16_t> second = wave_data(dir / "second.wav");
  ASSERT_GE(second.size(), 2 * kSongBufferFrames);
  const auto second_starts =
      std::search(card.begin(), card.end(), second.begin(), second.begin() + 2 * kSongBufferFrames);
  ASSERT_NE(second_starts, card.end()) << "the second song never reached the card";
  EXPECT_TRUE(plays_as(std::vector<std::int16_t>(card.begin(), second_starts), wave_data(dir / "first.wav"), 2,
                       kSongBufferFrames));
  EXPECT_TRUE(plays_as(std::vector<std::int16_t>(second_starts, card.end()), second, 2, kSongBufferFrames));
}

TEST_F(PlayCommandTest, RepeatAndShufflePlayUntilInterrupted) {
  const CommandRun repeat = run_kvt(args({"play", "--repeat", song}), 1500);
  EXPECT_EQ(repeat.status, 130) << repeat.err;
  EXPECT_GE(count_of(repeat.out, "Title : None\n"), 2u) << repeat.out;

  dir.write("Other.kvt", tone_song({{0x73, 0, 0x6D, 245, 40, 48, 0xFF}}).song);
  const CommandRun shuffle = run_kvt(args({"play", "--shuffle", song, dir / "Other.kvt"}), 1500);
  EXPECT_EQ(shuffle.status, 130) << shuffle.err;
  EXPECT_GE(count_of(shuffle.out, "Title : None\n"), 2u) << shuffle.out;

  // Nothing playable: the program ends instead of trying for ever.
  const CommandRun none = run_kvt(args({"play", "--shuffle", dir / "a.kvt", dir / "b.kvt"}));
  EXPECT_EQ(none.status, 1);
}

TEST_F(PlayCommandTest, InterruptStopsALoopingSongCleanly) {
  dir.write("loop.kvt", tone_song(kLoopingSong).song);
  use_disk_card(dir / "card.raw", 20);  // nearer real time: the song would last
  const CommandRun run = run_kvt(args({"play", dir / "loop.kvt", "--loop", "2"}), 400);
  EXPECT_EQ(run.status, 130);
  EXPECT_EQ(run.out, "Title : None\n");
  EXPECT_GT(read_file(dir / "card.raw").size(), 0u);
}

TEST_F(PlayCommandTest, BadCommandLinesAndMissingFiles) {
  for (const auto& bad : {std::vector<std::string>{"play"}, {"play", "a.kvt", "b.kvt"}, {"play", "--list"},
                          {"play", "--list", "--repeat", "a.kvt"}, {"play", "--repeat", "a.kvt", "b.kvt"},
                          {"play", "a.kvt", "--bits", "8"}}) {
    SCOPED_TRACE(testing::PrintToString(bad));
    const CommandRun run = run_kvt(bad);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: kvt play"), std::string::npos) << run.err;
  }
  const CommandRun missing = run_kvt(args({"play", dir / "missing.kvt"}));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("kvt: cannot read " + (dir / "missing.kvt") + ": no such file or directory\n"), std::string::npos) << missing.err;
}

TEST_F(PlayCommandTest, ACardThatCannotBeOpenedSaysWhatToDo) {
  const std::string wave = dir / "tone.wav";
  ASSERT_EQ(run_kvt(args({"wav", song, "-o", wave})).status, 0);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  for (const std::string& what : {song, wave}) {
    SCOPED_TRACE(what);
    const CommandRun run = run_kvt(args({"play", what}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("kvt: no sound device could be opened (SDL: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("); set SDL_AUDIODRIVER, or render with kvt wav\n"), std::string::npos) << run.err;
  }
  use_disk_card(dir / "card.raw", 1);
}

}  // namespace
}  // namespace kvt::test
