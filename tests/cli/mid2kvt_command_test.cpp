// `kvt mid2kvt` and `kvt wav` on MIDI files, with the default voice bank.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

Bytes tune() {
  return smf_file(0, 96, {smf_track({track_name(0, "Tune"), program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60),
                                     note_on(0, 10, 36), note_on(96, 1, 64), note_off(96, 1, 64)})});
}

TEST(Mid2kvtCommand, ConvertsBesideTheFileAndReports) {
  const ScratchDir dir;
  dir.write("tune.mid", tune());
  const CommandRun run = run_kvt({"mid2kvt", dir / "tune.mid"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(".mid->.kvt Converter Ver1.56"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"Tune\"\n"), std::string::npos);
  EXPECT_NE(run.out.find("Channels in KVT File\n"), std::string::npos);
  EXPECT_NE(run.out.find((dir / "tune.kvt") + "\n"), std::string::npos);
  const Bytes song = read_file(dir / "tune.kvt");
  ASSERT_GT(song.size(), 4111u);
  EXPECT_EQ(song[4112], 0x7C) << "the default reverb opens the conductor";
}

TEST(Mid2kvtCommand, OptionsReachTheConverter) {
  const ScratchDir dir;
  dir.write("tune.mid", tune());
  const CommandRun run = run_kvt({"mid2kvt", dir / "tune.mid", "-o", dir / "dry.kvt", "--reverb", "0", "--chorus=0",
                                  "--volume", "-15", "--drum-volume", "15", "--chorus-depth", "6"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_file(dir / "dry.kvt").at(4112), 0x7F) << "no effects before the opening commands";
  for (const auto& bad : {std::vector<std::string>{"--chorus-depth", "7"}, {"--volume", "16"}, {"--reverb", "x"},
                          {"--loud"}}) {
    std::vector<std::string> args{"mid2kvt", dir / "tune.mid"};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(run_kvt(args).status, 2) << bad[0];
  }
}

TEST(Mid2kvtCommand, FailuresExitOneAndKeepTheOldSong) {
  const ScratchDir dir;
  dir.write("bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96});
  dir.write("bad.kvt", {'o', 'l', 'd'});
  const CommandRun run = run_kvt({"mid2kvt", dir / "bad.mid"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("ERROR! This format is not supported. (2)"), std::string::npos) << run.err;
  EXPECT_EQ(read_file(dir / "bad.kvt"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(run_kvt({"mid2kvt"}).status, 2);
}

TEST(Mid2kvtCommand, WavConvertsOutOfSightThenRenders) {
  const ScratchDir dir;
  dir.write("tune.mid", tune());
  const CommandRun run = run_kvt({"wav", dir / "tune.mid", "--rate", "11025"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.entries().size(), 2u) << "tune.mid and tune.wav: the song data stays out of the user's folder";
  EXPECT_GT(read_file(dir / "tune.wav").size(), 44u + 11025u);
  EXPECT_NE(run.out.find("Title : Tune"), std::string::npos) << run.out;
}

// The largest sample value among `count` 16-bit samples from `from` on.
int peak(const Bytes& wav, std::size_t from, std::size_t count) {
  int most = 0;
  for (std::size_t i = from; i < from + count && 44 + 2 * i + 1 < wav.size(); ++i)
    most = std::max(most, std::abs(static_cast<std::int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8)));
  return most;
}

TEST(Mid2kvtCommand, TheLastNoteRingsOutAndDiesAway) {
  // One note of a quarter (48 ticks): the song lasts the quarter and the
  // 255 ticks that close it, about 3.07 s, and the note fades to nothing.
  const ScratchDir dir;
  dir.write("one.mid", smf_file(0, 48, {smf_track({note_on(0, 1, 60, 64), note_off(48, 1, 60)})}));
  const CommandRun run = run_kvt({"wav", dir / "one.mid", "--mono", "--effect", "0"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Bytes wav = read_file(dir / "one.wav");
  const double seconds = static_cast<double>(wav.size() - 44) / 2 / 44100;
  EXPECT_NEAR(seconds, 3.07, 0.05);
  const std::size_t samples = (wav.size() - 44) / 2;
  const int loudest = peak(wav, 0, samples);
  ASSERT_GT(loudest, 1000);
  EXPECT_LT(peak(wav, samples - 4410, 4410), loudest / 100) << "the last 0.1 s is all but silent";
}

}  // namespace
}  // namespace kvt::test
