// WAVE output end to end through the C export: the file's exact bytes for
// each output setting, the progress lines, cancelling and failures.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>

#include "host_fixture.h"
#include "wav_expect.h"

namespace kvt::test {
namespace {

// Two parts with effects: a held note with a rest, and a panned second voice.
const std::vector<Bytes> kParts = {
    {0x7C, 120, 80, 30, 0, 0, 0x7D, 0, 0, 150, 40, 20, 0, 4, 20, 1, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 96,
     0x75, 40, 43, 24, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};

constexpr char kFinished[] = "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

class WavOutputTest : public ToneSongTest {
 protected:
  WavOutputTest() : ToneSongTest(kParts, "song.kvt", "voices/tone.kvw") {}

  playstruct settings(const WavSettings& w) const {
    playstruct s = settings_for(dir / "voices");
    s.rate_index = w.rate_index;
    s.channel = w.channel;
    s.effect_level = w.effect_level;
    s.fade = w.fade;
    s.loop = w.loop;
    s.bit = w.bit;
    return s;
  }

  int render(const WavSettings& w, const std::string& out) {
    return _output_wav(song.c_str(), out.c_str(), settings(w), title);
  }

  Bytes expected(const WavSettings& w, const std::vector<Bytes>& parts = kParts, bool wide = true) const {
    const ToneSong t = tone_song(parts, wide);
    return expected_wav(t.song, {{0, loaded_voice(t.voice)}}, w);
  }

  // 0 when the rendering failed with its message.
  int render_under_size_limit(const std::string& out) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20000, 20000};
    setrlimit(RLIMIT_FSIZE, &limit);
    const RecordingUi ui;
    const int result = render({}, out);
    return result == 0 && ui.messages.size() == 1 && ui.messages[0].text == "It failed to write out." ? 0 : 1;
  }

  char title[256] = {};
};

TEST_F(WavOutputTest, SixteenBitFilesHoldTheDriverBlocksForEveryRateChannelAndEffect) {
  for (int rate : {0, 1, 2, 4}) {
    for (int channel : {1, 2}) {
      for (int effect : {0, 1, 2}) {
        const WavSettings w{rate, channel, effect};
        SCOPED_TRACE(testing::Message() << "rate " << rate << " channel " << channel << " effect " << effect);
        const RecordingUi ui;
        const std::string out = dir / "out.wav";
        ASSERT_EQ(render(w, out), 0);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(read_file(out), expected(w));
      }
    }
  }
}

TEST_F(WavOutputTest, EightBitFilesAreScaledByTheSongsPeak) {
  for (int channel : {1, 2}) {
    const WavSettings w{0, channel, 2, 0, 1, 8};
    const RecordingUi ui;
    ASSERT_EQ(render(w, dir / "out8.wav"), 0);
    const Bytes wav = read_file(dir / "out8.wav");
    EXPECT_EQ(wav, expected(w));
    // The last line before the end names the divisor and the file's size.
    ASSERT_GE(ui.progress.size(), 2u);
    const std::string& last = ui.progress[ui.progress.size() - 2];
    const std::vector<std::int16_t> samples =
        rendered_samples(tone.song, {{0, loaded_voice(tone.voice)}}, w);
    int peak = 0;
    for (std::int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
    ASSERT_GT(peak, 1000);
    EXPECT_EQ(last.rfind("Pass 2 [/" + std::to_string((peak - 1) / 128 + 1) + "]: Play time= ", 0), 0u) << last;
    EXPECT_NE(last.find("File size= " + std::to_string(wav.size()) + " byte"), std::string::npos) << last;
  }
}

TEST_F(WavOutputTest, EightBitVoicesRenderAsTheirUnsignedForm) {
  tone = tone_song(kParts, false);
  dir.write("song.kvt", tone.song);
  dir.write("voices/tone.kvw", tone.voice);
  const WavSettings w{2, 2, 0};
  const RecordingUi ui;
  ASSERT_EQ(render(w, dir / "out.wav"), 0);
  EXPECT_EQ(read_file(dir / "out.wav"), expected(w, kParts, false));
}

TEST_F(WavOutputTest, SilentSongInEightBitsIsAllMidpoints) {
  const std::vector<Bytes> rests = {{0x75, 200, 0xFF}};
  dir.write("song.kvt", tone_song(rests).song);
  const WavSettings w{4, 1, 0, 0, 1, 8};
  const RecordingUi ui;
  ASSERT_EQ(render(w, dir / "quiet.wav"), 0);
  const Bytes wav = read_file(dir / "quiet.wav");
  EXPECT_EQ(wav, expected(w, rests));
  ASSERT_GT(wav.size(), 44u);
  EXPECT_TRUE(std::all_of(wav.begin() + 44, wav.end(), [](std::uint8_t b) { return b == 128; }));
  EXPECT_EQ(ui.progress.back(), kFinished);
}

TEST_F(WavOutputTest, LoopCountAndFadeSpeedSetTheLengthOfALoopingSong) {
  const std::vector<Bytes> looping = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};
  dir.write("song.kvt", tone_song(looping).song);
  std::size_t previous = 0;
  for (const auto& [loop, fade] : {std::pair{1, 0}, {1, 1}, {2, 1}, {2, 2}}) {
    SCOPED_TRACE(testing::Message() << "loop " << loop << " fade " << fade);
    const WavSettings w{4, 1, 0, fade, loop};
    const RecordingUi ui;
    ASSERT_EQ(render(w, dir / "loop.wav"), 0);
    const Bytes wav = read_file(dir / "loop.wav");
    EXPECT_EQ(wav, expected(w, looping));
    EXPECT_GT(wav.size(), previous);
    previous = wav.size();
  }
}

TEST_F(WavOutputTest, EightBitSecondPassStartsUnderTheFadeTheFirstPassReached) {
  // The restart's first tick still takes a fade step, so the second pass
  // plays 2 volume steps quieter and differs from the first.
  const std::vector<Bytes> looping = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};
  const ToneSong t = tone_song(looping);
  dir.write("song.kvt", t.song);
  const WavSettings w{4, 1, 0, 1, 1, 8};
  const RecordingUi ui;
  ASSERT_EQ(render(w, dir / "loop8.wav"), 0);
  const Bytes wav = read_file(dir / "loop8.wav");
  EXPECT_EQ(wav, expected(w, looping));
  EXPECT_NE(wav, expected_wav(rendered_samples(t.song, {{0, loaded_voice(t.voice)}}, w), w));
}

TEST_F(WavOutputTest, ProgressLinesAndTitle) {
  const RecordingUi ui;
  ASSERT_EQ(render({}, dir / "out.wav"), 0);
  EXPECT_EQ(std::string(title), "Title : None");
  ASSERT_GE(ui.progress.size(), 2u);
  EXPECT_EQ(ui.progress.back(), kFinished);
  const std::string& line = ui.progress[ui.progress.size() - 2];
  const std::size_t blocks = (read_file(dir / "out.wav").size() - 44) / 8192;
  char wanted[128];
  std::snprintf(wanted, sizeof wanted, "Play time= %zu second   File size= %zu byte", blocks * 2048 / 44100,
                blocks * 8192 + 44);
  EXPECT_EQ(line, wanted);
  EXPECT_EQ(ui.finished, 1);
}

TEST_F(WavOutputTest, UnsupportedRatesAreRefusedSilently) {
  for (int rate : {3, 5, -1}) {
    const RecordingUi ui;
    WavSettings w;
    w.rate_index = rate;
    EXPECT_EQ(render(w, dir / "no.wav"), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.finished, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "no.wav"));
  }
}

TEST_F(WavOutputTest, LoadFailuresReturnOneWithTheirMessage) {
  const RecordingUi ui;
  const std::string missing = dir / "missing.kvt";
  EXPECT_EQ(_output_wav(missing.c_str(), (dir / "x.wav").c_str(), settings({}), title), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, missing + " is not found.");
  EXPECT_EQ(ui.finished, 0);
}

// A long looping song, so that a cancel arrives while it renders.
const std::vector<Bytes> kLongSong = {{0x73, 0, 0x6D, 245, 0x79, 0x71, 0xFF, 0xFF, 36, 255, 0xFF}};

TEST_F(WavOutputTest, CancelLeavesAValidShorterFile) {
  const ToneSong long_song = tone_song(kLongSong);
  dir.write("song.kvt", long_song.song);
  const RecordingUi ui(0);
  const WavSettings w{4, 1, 0, 2, 2};
  ASSERT_EQ(render(w, dir / "part.wav"), 0);
  const Bytes wav = read_file(dir / "part.wav");
  ASSERT_GT(wav.size(), 44u);
  // The header counts exactly the blocks written, and they are the song's first.
  EXPECT_EQ((wav.size() - 44) % 4096, 0u);
  const std::size_t blocks = (wav.size() - 44) / 4096;
  EXPECT_EQ(wav, expected_wav(rendered_samples(long_song.song, {{0, loaded_voice(long_song.voice)}}, w, blocks), w));
  EXPECT_NE(std::find(ui.progress.begin(), ui.progress.end(), "WAV file is closed halfway!"), ui.progress.end());
  EXPECT_EQ(ui.progress.back(), kFinished);
  EXPECT_EQ(dir.entries().size(), 3u);  // song, voices, part.wav: no temporary left
}

TEST_F(WavOutputTest, ASongOfMegabytesArrivesWhole) {
  // Longer than the pieces the file is written in, ending in part of one,
  // so that a piece lost, doubled or moved on the way shows.
  const std::vector<Bytes> long_notes = {
      {0x73, 0, 0x6D, 245, 36, 255, 40, 255, 43, 255, 48, 255, 43, 255, 40, 255, 36, 255, 31, 255, 0xFF}};
  dir.write("song.kvt", tone_song(long_notes).song);
  for (int bit : {16, 8}) {
    SCOPED_TRACE(testing::Message() << bit << " bits");
    const WavSettings w{0, 2, 1, 0, 1, bit};
    const RecordingUi ui;
    ASSERT_EQ(render(w, dir / "long.wav"), 0);
    const Bytes wav = read_file(dir / "long.wav");
    EXPECT_GT(wav.size(), 3u << 19);
    EXPECT_EQ(wav, expected(w, long_notes));
  }
}

TEST_F(WavOutputTest, CancelInTheFirstPassWritesNoFile) {
  dir.write("song.kvt", tone_song(kLongSong).song);
  const RecordingUi ui(0);
  ASSERT_EQ(render({4, 1, 0, 2, 2, 8}, dir / "none.wav"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.wav"));
  ASSERT_FALSE(ui.progress.empty());
  const std::string& last = ui.progress.back();
  EXPECT_EQ(last.substr(last.size() - 30), "\nStop converting to wave file.");
  EXPECT_EQ(dir.entries().size(), 2u);
}

TEST_F(WavOutputTest, UnwritableTargetFailsWithItsMessageAndLeavesNothing) {
  const RecordingUi ui;
  EXPECT_EQ(render({}, dir / "no-such-dir/out.wav"), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "It failed to write out.");
  EXPECT_EQ(ui.messages[0].icon, KVT_ICON_NONE);
  EXPECT_EQ(ui.finished, 1);
  EXPECT_EQ(dir.entries().size(), 2u);
}

TEST_F(WavOutputTest, AFolderOrPipeInTheTargetsPlaceStaysAsItWas) {
  const NonRegularFiles targets(dir, ".wav");
  for (const std::string& out : {targets.folder, targets.pipe}) {
    SCOPED_TRACE(out);
    const RecordingUi ui;
    EXPECT_EQ(render({}, out), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "It failed to write out.");
    struct stat st {};
    ASSERT_EQ(lstat(out.c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode)) << "not replaced by the rendering";
  }
  EXPECT_EQ(dir.entries().size(), 4u) << "the song, its voices, the folder and the pipe";
}

TEST_F(WavOutputTest, FailedWriteKeepsTheExistingFile) {
  const Bytes old = {'o', 'l', 'd'};
  const std::string out = dir.write("out.wav", old);
  // A file size limit makes the first large write fail, in a child process.
  // The child leaves without the static destructors: the threads of the
  // parent's players do not exist in it.
  EXPECT_EXIT(_exit(render_under_size_limit(out)), testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file(out), old);
  EXPECT_EQ(dir.entries().size(), 3u);
}

TEST_F(WavOutputTest, SuccessReplacesAnExistingFile) {
  const std::string out = dir.write("out.wav", Bytes{'o', 'l', 'd'});
  const RecordingUi ui;
  ASSERT_EQ(render({}, out), 0);
  EXPECT_EQ(read_file(out), expected({}));
}

}  // namespace
}  // namespace kvt::test
