// The WAVE file writer on its own: samples handed over in pieces of any
// size reach the file whole and in order, however the writer gathers them,
// and a write that fails leaves no file and the target as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <vector>

#include "host_fixture.h"
#include "wav_file.h"

namespace kvt::test {
namespace {

using host::WavFile;
using host::WavFormat;

constexpr std::size_t kHeader = 44;
constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr WavFormat kStereo{44100, 2, 16};

// Bytes that differ from one position to the next over a long stretch, so
// that a piece lost, doubled or moved shows in the comparison.
Bytes pattern(std::size_t size) {
  Bytes bytes(size);
  std::uint32_t state = 12345;
  for (std::uint8_t& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Hands `data` over in pieces whose sizes cycle through `pieces`.
bool write_in_pieces(WavFile& file, const Bytes& data, const std::vector<std::size_t>& pieces) {
  std::size_t at = 0;
  for (std::size_t i = 0; at < data.size(); ++i) {
    const std::size_t n = std::min(pieces[i % pieces.size()], data.size() - at);
    if (!file.write(data.data() + at, n)) return false;
    at += n;
  }
  return true;
}

class WavFileTest : public ::testing::Test {
 protected:
  ScratchDir dir;
};

TEST_F(WavFileTest, PiecesOfAnySizeArriveWholeAndInOrder) {
  struct Case {
    const char* name;
    std::size_t size;
    std::vector<std::size_t> pieces;
  };
  const Case cases[] = {
      {"rendered blocks, a partly filled last chunk", 3 * kMiB + 8192 * 5, {8192}},
      {"odd sizes straddling the chunk ends", 2 * kMiB + 12345, {1, 4095, 65537, 777}},
      {"pieces larger than a chunk", 4 * kMiB + 3, {kMiB + kMiB / 2 + 1, 10}},
      {"exactly two chunks", 2 * kMiB, {8192}},
      {"less than one chunk", 100, {7}},
      {"no samples at all", 0, {8192}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes data = pattern(c.size);
    const std::string out = dir / "out.wav";
    WavFile file(out, kStereo);
    ASSERT_TRUE(write_in_pieces(file, data, c.pieces));
    ASSERT_TRUE(file.finish());
    const Bytes wav = read_file(out);
    ASSERT_EQ(wav.size(), kHeader + data.size());
    EXPECT_EQ(le32(wav, 4), data.size() + 36) << "RIFF size";
    EXPECT_EQ(le32(wav, 40), data.size()) << "data size";
    EXPECT_TRUE(std::equal(data.begin(), data.end(), wav.begin() + kHeader)) << "samples differ";
    EXPECT_EQ(dir.entries().size(), 1u) << "no temporary left";
  }
}

std::size_t files_in(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// In a child process, under a file size limit of `limit` bytes: 0 when the
// writer reported the failure, at write() or at finish(), and its temporary
// file was gone at once, while the writer still lived.
int write_under_size_limit(const std::string& out, std::size_t limit, std::size_t size) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit r{limit, limit};
  setrlimit(RLIMIT_FSIZE, &r);
  const std::size_t before = files_in(std::filesystem::path(out).parent_path());
  WavFile file(out, kStereo);
  if (write_in_pieces(file, pattern(size), {8192}) && file.finish()) return 1;
  return files_in(std::filesystem::path(out).parent_path()) == before ? 0 : 2;
}

TEST_F(WavFileTest, AFailedWriteLeavesNoFileAndTheTargetAsItWas) {
  const Bytes old = {'o', 'l', 'd'};
  const std::string out = dir.write("out.wav", old);
  struct Case {
    const char* name;
    std::size_t limit, size;
  };
  for (const Case& c :
       {Case{"while the song is written", kMiB / 2, 3 * kMiB}, Case{"with the last samples", 4096, 64 * 1024}}) {
    SCOPED_TRACE(c.name);
    // The child leaves without the static destructors, as the players'
    // threads of the parent do not exist in it.
    EXPECT_EXIT(_exit(write_under_size_limit(out, c.limit, c.size)), testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(out), old);
    EXPECT_EQ(dir.entries().size(), 1u) << "no temporary left";
  }
}

TEST_F(WavFileTest, AFolderThatDoesNotExistTakesNothing) {
  const Bytes data = pattern(kMiB + 1);
  WavFile file(dir / "no-such-dir/out.wav", kStereo);
  EXPECT_FALSE(file.write(data.data(), data.size()));
  EXPECT_FALSE(file.finish());
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace kvt::test
