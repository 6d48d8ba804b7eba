// `kvt wav` beyond the player's own WAVE file, end to end: FLAC, Ogg Vorbis
// and Opus by extension or --format, the resampled rates 48000 and 96000,
// and `-o -` onto standard output. Each output is read back and held
// against the WAVE rendering of the same song.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;

// Two parts of a sine voice: notes, rests and a held tone.
const std::vector<Bytes> kParts = {
    {0x7C, 120, 80, 30, 0, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 96, 0x75, 40, 43, 24, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};

struct Sound {
  int format = 0;  // libsndfile's major and minor format
  int rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved

  std::size_t frames() const { return channels == 0 ? 0 : samples.size() / static_cast<std::size_t>(channels); }
};

Sound read_sound(const std::string& path) {
  Sound sound;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    ADD_FAILURE() << path << ": " << sf_strerror(nullptr);
    return sound;
  }
  sound.format = info.format;
  sound.rate = info.samplerate;
  sound.channels = info.channels;
  std::vector<std::int16_t> chunk(4096 * static_cast<std::size_t>(info.channels));
  for (sf_count_t got; (got = sf_readf_short(file, chunk.data(), 4096)) > 0;) {
    sound.samples.insert(sound.samples.end(), chunk.begin(), chunk.begin() + got * info.channels);
  }
  sf_close(file);
  return sound;
}

double rms(const std::vector<std::int16_t>& samples) {
  double sum = 0;
  for (const std::int16_t s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// How far `decoded` strays from `original`, relative to the original's
// loudness, over the frames both hold.
double relative_error(const Sound& original, const Sound& decoded) {
  const std::size_t n = std::min(original.samples.size(), decoded.samples.size());
  std::vector<std::int16_t> difference(n);
  for (std::size_t i = 0; i < n; ++i) {
    difference[i] = static_cast<std::int16_t>(std::clamp(original.samples[i] - decoded.samples[i], -32768, 32767));
  }
  return rms(difference) / rms(original.samples);
}

// Rises from well below zero to well above it, per second: the pitch of a
// steady tone, and for any sound a measure that resampling must keep. The
// margin keeps the quiet tails, where rounding flips the sign, out of it.
double rises_per_second(const Sound& sound) {
  constexpr int kMargin = 500;
  int rises = 0;
  bool below = false;
  for (const std::int16_t s : sound.samples) {
    if (s < -kMargin) below = true;
    if (below && s > kMargin) {
      ++rises;
      below = false;
    }
  }
  return rises * static_cast<double>(sound.rate) / static_cast<double>(sound.frames());
}

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

class OutputFormatsTest : public ToneSongTest {
 protected:
  OutputFormatsTest() : ToneSongTest(kParts, "Song.kvt", "voices/TONE.kvw") {}

  // `kvt wav` with the voices and `extra`; the run must succeed.
  CommandRun render(std::vector<std::string> extra) {
    std::vector<std::string> args = {"wav", song, "--voices", dir / "voices", "--mono", "--effect", "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    CommandRun run = run_kvt(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run;
  }

  // The player's own WAVE rendering at `rate`.
  Sound wave_rendering(const std::string& rate = "44100") {
    const std::string out = dir / ("reference-" + rate + ".wav");
    render({"-o", out, "--rate", rate});
    return read_sound(out);
  }
};

TEST_F(OutputFormatsTest, FlacByExtensionDecodesToExactlyTheWaveRendering) {
  for (const std::string bits : {"16", "8"}) {
    SCOPED_TRACE(bits);
    const std::string wave = dir / ("song" + bits + ".wav");
    const std::string flac = dir / ("song" + bits + ".flac");
    render({"-o", wave, "--bits", bits});
    const CommandRun run = render({"-o", flac, "--bits", bits});
    EXPECT_EQ(run.out, "Title : None\n" + flac + "\n");
    const Sound original = read_sound(wave);
    const Sound decoded = read_sound(flac);
    EXPECT_EQ(decoded.format, SF_FORMAT_FLAC | (bits == "8" ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_16));
    EXPECT_EQ(decoded.rate, 44100);
    EXPECT_EQ(decoded.channels, 1);
    ASSERT_GT(original.frames(), 44100u / 2);
    EXPECT_EQ(decoded.samples, original.samples);
  }
}

TEST_F(OutputFormatsTest, LossyFormatsDecodeCloseToTheWaveRendering) {
  struct Case {
    std::string file;
    int format;
    int rate;
  };
  for (const Case& c : {Case{"song.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100},
                        Case{"song.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000}}) {
    SCOPED_TRACE(c.file);
    render({"-o", dir / c.file});
    const Sound original = wave_rendering(std::to_string(c.rate));
    const Sound decoded = read_sound(dir / c.file);
    EXPECT_EQ(decoded.format, c.format);
    EXPECT_EQ(decoded.rate, c.rate);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(static_cast<double>(decoded.frames()), static_cast<double>(original.frames()), c.rate * 0.01);
    EXPECT_LT(relative_error(original, decoded), 0.05);
  }
}

TEST_F(OutputFormatsTest, FormatOptionOverridesTheExtensionAndNamesTheDefaultOutput) {
  const std::string named_wav = dir / "really.wav";
  render({"-o", named_wav, "--format", "flac"});
  EXPECT_EQ(read_sound(named_wav).format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);

  const std::string named_flac = dir / "really.flac";
  render({"-o", named_flac, "--format=wav"});
  wave_rendering();
  EXPECT_EQ(read_file(named_flac), read_file(dir / "reference-44100.wav"));

  const CommandRun run = render({"--format", "opus"});
  EXPECT_EQ(run.out, "Title : None\n" + (dir / "Song.opus") + "\n");
  const Sound opus = read_sound(dir / "Song.opus");
  EXPECT_EQ(opus.format, SF_FORMAT_OGG | SF_FORMAT_OPUS);
  EXPECT_EQ(opus.rate, 48000);
  EXPECT_FALSE(fs::exists(dir / "Song.wav"));
}

TEST_F(OutputFormatsTest, ResampledRatesKeepTheLengthAndThePitch) {
  const Sound original = wave_rendering();
  const double seconds = static_cast<double>(original.frames()) / 44100;
  const double pitch = rises_per_second(original);
  ASSERT_GT(pitch, 50);
  for (const int rate : {48000, 96000}) {
    SCOPED_TRACE(rate);
    for (const std::string extension : {".wav", ".flac"}) {
      const std::string out = dir / ("resampled" + std::to_string(rate) + extension);
      render({"-o", out, "--rate", std::to_string(rate)});
      const Sound resampled = read_sound(out);
      EXPECT_EQ(resampled.rate, rate);
      EXPECT_EQ(resampled.channels, 1);
      EXPECT_NEAR(static_cast<double>(resampled.frames()), seconds * rate, 2);
      EXPECT_NEAR(rises_per_second(resampled), pitch, pitch * 0.005);
    }
  }
}

TEST_F(OutputFormatsTest, StandardOutputCarriesTheSoundAlone) {
  render({"-o", dir / "file.wav"});
  const CommandRun wave = render({"-o", "-"});
  EXPECT_EQ(bytes_of(wave.out), read_file(dir / "file.wav"));
  EXPECT_EQ(wave.err, "Title : None\n");
  EXPECT_FALSE(fs::exists(dir / "-"));

  for (const std::string format : {"flac", "ogg", "opus"}) {
    SCOPED_TRACE(format);
    const CommandRun run = render({"-o", "-", "--format", format, "--rate", "48000"});
    const std::string received = dir.write("received." + format, bytes_of(run.out));
    const Sound sound = read_sound(received);
    EXPECT_EQ(sound.rate, 48000);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_GT(sound.frames(), 48000u / 2);
    EXPECT_EQ(run.err, "Title : None\n");
  }
  EXPECT_EQ(read_sound(dir / "received.flac").samples, wave_rendering("48000").samples);
}

TEST_F(OutputFormatsTest, RefusalsExitWithTheReasonAndLeaveNoFile) {
  const std::string earlier = dir.write_text("earlier.opus", "an earlier file");
  const CommandRun opus_rate = run_kvt({"wav", song, "--voices", dir / "voices", "-o", earlier, "--rate", "44100"});
  EXPECT_EQ(opus_rate.status, 1);
  EXPECT_EQ(opus_rate.err, "kvt: cannot write " + earlier +
                               ": Opus is made at 48000 Hz only, not at 44100 Hz (leave out --rate, or give --rate "
                               "48000)\n");
  EXPECT_EQ(read_file(earlier), bytes_of("an earlier file"));

  const CommandRun unwritable = run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "no/dir.flac"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err, "kvt: cannot write " + (dir / "no/dir.flac") + ": no such file or directory\n");

  const CommandRun missing_voice = run_kvt({"wav", song, "--voices", dir / "nowhere", "-o", earlier, "--rate", "48000"});
  EXPECT_EQ(missing_voice.status, 1);
  EXPECT_EQ(read_file(earlier), bytes_of("an earlier file"));

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--format", "mp3"}, {"--format", "ogg", "--bits", "8"}, {"--rate", "16538"}}) {
    std::vector<std::string> args = {"wav", song, "--voices", dir / "voices", "-o", dir / "bad.ogg"};
    args.insert(args.end(), bad.begin(), bad.end());
    const CommandRun run = run_kvt(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("usage: kvt wav"), std::string::npos) << run.err;
  }
  EXPECT_EQ(run_kvt({"wav", song, "--format", "mp3"}).err.find("kvt wav: unknown format mp3 (wav, flac, ogg or opus)"),
            0u);

  std::vector<std::string> left = dir.entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Song.kvt", "earlier.opus", "voices"}));
}

}  // namespace
}  // namespace kvt::test
