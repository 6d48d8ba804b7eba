// How `kvt wav` ends a song: the sample songs end quietly by default, and
// with --exact exactly as _output_wav writes them; --loop takes any count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

constexpr std::size_t kHeader = 44;

std::vector<std::string> compiled_samples() {
  std::vector<std::string> songs;
  if (!std::filesystem::is_directory(KVT_SAMPLE_DIR)) return songs;
  for (const auto& entry : std::filesystem::directory_iterator(KVT_SAMPLE_DIR))
    if (entry.path().extension() == ".KVT") songs.push_back(entry.path().string());
  return songs;
}

// The largest sample of the last 50 ms of a 44.1 kHz stereo WAVE file.
int peak_of_last_50ms(const Bytes& wav) {
  const std::vector<std::int16_t> s = samples_of(wav, kHeader);
  const std::size_t last = std::min<std::size_t>(s.size(), 2 * 44100 / 20);
  int peak = 0;
  for (std::size_t i = s.size() - last; i < s.size(); ++i) peak = std::max(peak, std::abs(int{s[i]}));
  return peak;
}

TEST(SongEnds, SamplesEndBelowMinus60dBfsAndExactlyAsTheExportWithExact) {
  const auto songs = compiled_samples();
  if (songs.empty()) GTEST_SKIP() << "no sample songs in " << KVT_SAMPLE_DIR;
  const ScratchDir dir;
  playstruct settings = settings_for((std::filesystem::path(KVT_SAMPLE_DIR).parent_path() / "Pcm97").string());
  settings.rate_index = 4;
  settings.effect_level = 2;
  for (const auto& song : songs) {
    SCOPED_TRACE(song);
    const CommandRun clean = run_kvt({"wav", song, "-o", dir / "clean.wav"});
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_LE(peak_of_last_50ms(read_file(dir / "clean.wav")), 32);

    const CommandRun exact = run_kvt({"wav", song, "--exact", "--rate", "11025", "-o", dir / "exact.wav"});
    ASSERT_EQ(exact.status, 0) << exact.err;
    char title[256] = {};
    ASSERT_EQ(_output_wav(song.c_str(), (dir / "export.wav").c_str(), settings, title), 0);
    EXPECT_TRUE(read_file(dir / "exact.wav") == read_file(dir / "export.wav"));
  }
}

TEST(SongEnds, LoopTakesAnyPositiveCount) {
  const ScratchDir dir;
  const ToneSong tone = tone_song({{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}});
  const std::string song = dir.write("loop.kvt", tone.song);
  dir.write("voices/tone.kvw", tone.voice);
  std::uintmax_t previous = 0;
  for (const char* loop : {"1", "2", "3", "300"}) {
    SCOPED_TRACE(loop);
    const CommandRun run = run_kvt({"wav", song, "--voices", dir / "voices", "--loop", loop, "-o", dir / "out.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(std::filesystem::file_size(dir / "out.wav"), previous);
    previous = std::filesystem::file_size(dir / "out.wav");
  }
  EXPECT_EQ(run_kvt({"wav", song, "--loop", "0"}).status, 2);
  EXPECT_EQ(run_kvt({"play", song, "--loop", "-1"}).status, 2);
}

}  // namespace
}  // namespace kvt::test
