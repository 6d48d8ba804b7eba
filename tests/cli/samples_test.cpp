// The sample songs that the build compiles: every voice is in the default
// bank and every song renders to its full length.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

std::vector<std::string> compiled_samples() {
  std::vector<std::string> songs;
  for (const auto& entry : std::filesystem::directory_iterator(KVT_SAMPLE_DIR))
    if (entry.path().extension() == ".KVT") songs.push_back(entry.path().string());
  return songs;
}

TEST(Samples, EverySampleFindsItsVoicesAndRenders) {
  const auto songs = compiled_samples();
  ASSERT_GE(songs.size(), 6u);
  const ScratchDir dir;
  for (const auto& song : songs) {
    SCOPED_TRACE(song);
    const CommandRun info = run_kvt({"info", song});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.find("missing"), std::string::npos) << info.out;
    EXPECT_EQ(info.out.find("Title : "), info.out.find('\n') + 1) << "every sample has a title";

    const CommandRun wav = run_kvt({"wav", song, "--rate", "11025", "-o", dir / "out.wav"});
    ASSERT_EQ(wav.status, 0) << wav.err;
    constexpr std::size_t kBytesPerSecond = 11025 * 4;
    const auto seconds = (std::filesystem::file_size(dir / "out.wav") - 44) / kBytesPerSecond;
    EXPECT_GE(seconds, 20u);
    EXPECT_LE(seconds, 180u);
  }
}

}  // namespace
}  // namespace kvt::test
