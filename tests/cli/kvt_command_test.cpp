// The `kvt` command end to end: usage, help, the wav and info subcommands.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "host_fixture.h"
#include "run_kvt.h"
#include "wav_expect.h"

namespace kvt::test {
namespace {

const std::vector<Bytes> kParts = {
    {0x7C, 120, 80, 30, 0, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 96, 0x75, 40, 43, 24, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};

class KvtCommandTest : public ToneSongTest {
 protected:
  KvtCommandTest() : ToneSongTest(kParts, "Song.kvt", "voices/TONE.kvw") {}

  Bytes expected(const WavSettings& w) const {
    return expected_wav(rendered_samples(tone.song, {{0, loaded_voice(tone.voice)}}, w), w);
  }
};

TEST_F(KvtCommandTest, UsageErrorsExitTwoWithAUsageLine) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"wav"},
      {"wav", "a.kvt", "b.kvt", "-o", "c.wav"},
      {"wav", "a.kvt", "--rate", "16538"},
      {"wav", "a.kvt", "--rate"},
      {"wav", "a.kvt", "--bits=12"},
      {"wav", "a.kvt", "--effect", "3"},
      {"wav", "a.kvt", "--fade", "x"},
      {"wav", "a.kvt", "--loop", "0"},
      {"wav", "a.kvt", "--mono=1"},
      {"wav", "a.kvt", "--voices", std::string(300, 'd')},
      {"wav", "a.kvt", "--wobble"},
      {"info"},
      {"info", "a.kvt", "--rate", "44100"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(testing::PrintToString(args));
    const CommandRun run = run_kvt(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: kvt"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(KvtCommandTest, HelpDescribesEveryCommandAndOption) {
  const CommandRun overview = run_kvt({"--help"});
  EXPECT_EQ(overview.status, 0);
  for (const char* name : {"wav", "info"}) EXPECT_NE(overview.out.find(name), std::string::npos) << name;
  const CommandRun wav = run_kvt({"wav", "--help"});
  EXPECT_EQ(wav.status, 0);
  for (const char* option : {"-o", "--rate", "--mono", "--effect", "--fade", "--loop", "--bits", "--voices"}) {
    EXPECT_NE(wav.out.find(option), std::string::npos) << option;
  }
  const CommandRun info = run_kvt({"info", "-h"});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("--voices"), std::string::npos);
}

TEST_F(KvtCommandTest, VersionNamesTheCommandAndEveryLibrary) {
  const std::string v = KVT_VERSION_TEXT;
  for (const char* flag : {"--version", "-V"}) {
    const CommandRun run = run_kvt({flag});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "kvt " + v + "\nlibraries: kvt " + v + ", kvtc " + v + ", mid2kvt " + v + "\n");
  }
}

TEST_F(KvtCommandTest, WavDefaultsToStereoSixteenBitsWithEffectsBesideTheSong) {
  const CommandRun run = run_kvt({"wav", song, "--voices", dir / "voices", "--exact"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Title : None\n" + (dir / "Song.wav") + "\n");
  EXPECT_EQ(read_file(dir / "Song.wav"), expected({0, 2, 2, 0, 1, 16}));
}

TEST_F(KvtCommandTest, WavOptionsReachTheRendering) {
  const std::string out = dir / "custom.wav";
  const CommandRun run = run_kvt({"wav", song, "-o", out, "--rate", "22050", "--mono", "--effect=1", "--fade", "1",
                                  "--loop", "2", "--bits", "8", "--exact", "--voices", dir / "nowhere:" + dir / "voices"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_file(out), expected({2, 1, 1, 1, 2, 8}));
  EXPECT_FALSE(std::filesystem::exists(dir / "Song.wav"));
}

TEST_F(KvtCommandTest, WavFailuresExitOneWithTheLibrarysMessage) {
  const CommandRun missing_voice = run_kvt({"wav", song, "--voices", dir / "nowhere"});
  EXPECT_EQ(missing_voice.status, 1);
  EXPECT_NE(missing_voice.err.find("kvt: tone is not found.\nPlease Check PCM data Directory."), std::string::npos)
      << missing_voice.err;
  const CommandRun not_song = run_kvt({"wav", dir.write("x.kvt", Bytes(20, 1))});
  EXPECT_EQ(not_song.status, 1);
  EXPECT_NE(not_song.err.find("kvt: Not FM data: Format Error!"), std::string::npos);
  const CommandRun unwritable = run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "no/dir.wav"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err, "kvt: cannot write " + (dir / "no/dir.wav") + ": no such file or directory\n");
}

TEST_F(KvtCommandTest, InterruptWithKeepPartialFinishesAValidShorterFile) {
  const std::vector<Bytes> endless = {{0x73, 0, 0x6D, 245, 0x79, 0x71, 0xFF, 0xFF, 36, 255, 0xFF}};
  tone = tone_song(endless);
  dir.write("Song.kvt", tone.song);
  RunOptions rendering;  // a while after the output's temporary file is made
  rendering.signal = SignalPlan{SIGINT, [this](const std::string&, const std::string&) { return dir.entries().size() > 2; }, 300};
  // Twenty passes, so that the signal comes while the renderer is still at it.
  const CommandRun run = run_kvt(
      {"wav", song, "--voices", dir / "voices", "--rate", "11025", "--mono", "--loop", "20", "--keep-partial"}, rendering);
  EXPECT_EQ(run.status, 130);
  EXPECT_EQ(run.err, "kvt: interrupted; " + (dir / "Song.wav") + " holds the part rendered so far\n");
  const Bytes wav = read_file(dir / "Song.wav");
  ASSERT_GT(wav.size(), 44u);
  // A header that counts the blocks written, and the song's first blocks.
  ASSERT_EQ((wav.size() - 44) % 4096, 0u);
  const std::size_t blocks = std::min<std::size_t>((wav.size() - 44) / 4096, 50);
  const WavSettings w{4, 1, 2, 0, 20, 16};
  Bytes start = expected_wav(rendered_samples(tone.song, {{0, loaded_voice(tone.voice)}}, w, blocks), w);
  const std::uint32_t data_size = static_cast<std::uint32_t>(wav.size() - 44);
  for (int i = 0; i < 4; ++i) {
    start[4 + i] = static_cast<std::uint8_t>((data_size + 36) >> (8 * i));
    start[40 + i] = static_cast<std::uint8_t>(data_size >> (8 * i));
  }
  EXPECT_EQ(Bytes(wav.begin(), wav.begin() + static_cast<std::ptrdiff_t>(start.size())), start);
}

TEST_F(KvtCommandTest, InfoListsHeaderVoicesAndParts) {
  const Bytes with_title = make_song({48, 28, false, kParts}, {{{0, "TONE.PCM"}, {5, "absent"}}, Bytes{3, 'T', 'u', 'n'}});
  const std::string file = dir.write("info.kvt", with_title);
  const CommandRun run = run_kvt({"info", file, "--voices", dir / "voices"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string expected_lines[] = {
      "Title : Tun\n",
      "default length  48 ticks\n",
      "tempo           28 ",
      "part table      2 entries, ends at 0x0014\n",
      "part offsets    in bytes\n",
      "key table       none\n",
      "voices          2\n",
      "  slot   0  TONE.PCM     " + (dir / "voices/TONE.kvw") + "\n",
      "  slot   5  absent       missing\n",
      "parts           2\n",
      "  part   1  at 0x000018       8 events\n",
      "  part   2  at 0x00002B       6 events\n",
  };
  for (const std::string& line : expected_lines) EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
}

TEST_F(KvtCommandTest, InfoRefusesWhatIsNoSong) {
  const CommandRun missing = run_kvt({"info", dir / "missing.kvt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "kvt: cannot read " + (dir / "missing.kvt") + ": no such file or directory\n");
  const CommandRun damaged = run_kvt({"info", dir.write("bad.kvt", Bytes{'K', 'V', 'T', 'M', 1, 2})});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.err.find("Not FM data: Format Error!"), std::string::npos);
}

TEST_F(KvtCommandTest, InfoReadsNoFolderDeviceOrHugeFile) {
  const NonRegularFiles inputs(dir, ".kvt");
  const std::string huge = dir.write("huge.kvt", tone.song);
  std::filesystem::resize_file(huge, (std::size_t{16} << 20) + 1);
  const std::pair<std::string, std::string> refusals[] = {
      {inputs.folder, "kvt: cannot read " + inputs.folder + ": is a folder\n"},
      {inputs.device, "kvt: cannot read /dev/zero: is not a regular file\n"},
      {inputs.pipe, "kvt: cannot read " + inputs.pipe + ": is not a regular file\n"},
      {huge, "kvt: " + huge + " is larger than 16777216 bytes, more than any song data file holds.\n"},
  };
  for (const auto& [path, message] : refusals) {
    const CommandRun run = run_kvt({"info", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, message);
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace
}  // namespace kvt::test
