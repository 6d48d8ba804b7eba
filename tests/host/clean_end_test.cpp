// Output options through the C exports: without them, or at zero, the
// bytes of every existing export; with a clean end, voices fade out and
// the effect tails die away before the file ends; the loop count past the
// two passes that playstruct allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "card_capture.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

// A held note with reverb and chorus that its part's end cuts, and a second part.
const std::vector<Bytes> kParts = {
    {0x7C, 120, 80, 30, 0, 0, 0x7D, 0, 0, 150, 40, 20, 0, 4, 20, 1, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 96, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};
const std::vector<Bytes> kLoopingSong = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};

constexpr std::size_t kHeader = 44;
constexpr std::size_t kFrameBytes = 4;           // 16-bit stereo
constexpr std::size_t kLast50ms = 44100 / 20;    // frames
constexpr std::size_t kTailLimit = 10 * 44100;   // frames
constexpr std::size_t kBlockFrames = 2048;

kvt_output_options options(int clean_end, int loop = 0) { return {sizeof(kvt_output_options), clean_end, loop, 0}; }

int peak_of_last_50ms(const Bytes& wav) {
  const std::vector<std::int16_t> s = samples_of(wav, kHeader);
  int peak = 0;
  for (std::size_t i = s.size() - 2 * kLast50ms; i < s.size(); ++i) peak = std::max(peak, std::abs(int{s[i]}));
  return peak;
}

class CleanEndTest : public ToneSongTest {
 protected:
  CleanEndTest() : ToneSongTest(kParts, "song.kvt", "voices/tone.kvw") {}

  playstruct settings(int loop = 1) const {
    playstruct s = settings_for(dir / "voices");
    s.rate_index = 0;
    s.channel = 2;
    s.effect_level = 2;
    s.loop = loop;
    s.bit = 16;
    return s;
  }

  Bytes render(const kvt_output_options* given, int loop = 1) {
    const playstruct s = settings(loop);
    const std::string out = dir / "out.wav";
    kvt_render* r = kvt_render_start_with_options(nullptr, song.c_str(), out.c_str(), &s, given, title);
    EXPECT_NE(r, nullptr);
    if (r == nullptr) return {};
    EXPECT_EQ(kvt_render_finish(r), KVT_RENDER_COMPLETE);
    return read_file(out);
  }

  Bytes output_wav(int loop = 1) {
    const std::string out = dir / "export.wav";
    EXPECT_EQ(_output_wav(song.c_str(), out.c_str(), settings(loop), title), 0);
    return read_file(out);
  }

  char title[256] = {};
};

TEST_F(CleanEndTest, OptionsAtZeroOrBeyondTheirSizeWriteWhatTheExportsWrite) {
  const Bytes expected = output_wav();
  ASSERT_GT(expected.size(), kHeader);
  EXPECT_EQ(render(nullptr), expected);
  const kvt_output_options zero = options(0);
  EXPECT_EQ(render(&zero), expected);
  kvt_output_options short_struct = options(1, 3);
  short_struct.size = offsetof(kvt_output_options, clean_end);  // a caller that knows no more
  EXPECT_EQ(render(&short_struct), expected);

  kvt_set_output_options(&zero);
  EXPECT_EQ(output_wav(), expected);
  kvt_set_output_options(nullptr);
}

TEST_F(CleanEndTest, CleanEndLetsTheLastVoiceAndTheEffectsDieAway) {
  const Bytes exact = render(nullptr);
  ASSERT_GT(peak_of_last_50ms(exact), 1000) << "the song ends on a cut voice";
  const kvt_output_options clean = options(1);
  const Bytes kept = render(&clean);
  EXPECT_LE(peak_of_last_50ms(kept), 32) << "-60 dBFS";
  EXPECT_GT(kept.size(), exact.size() + kBlockFrames * kFrameBytes) << "the tail is kept";
  EXPECT_LE(kept.size(), exact.size() + (kTailLimit + 2 * kBlockFrames) * kFrameBytes);

  // _output_wav takes the same options.
  kvt_set_output_options(&clean);
  EXPECT_EQ(output_wav(), kept);
  kvt_set_output_options(nullptr);
}

TEST_F(CleanEndTest, LoopOptionCountsEveryPass) {
  dir.write("song.kvt", tone_song(kLoopingSong).song);
  const Bytes two = output_wav(2);
  const kvt_output_options loop_two = options(0, 2);
  EXPECT_EQ(render(&loop_two), two);
  std::size_t previous = two.size();
  for (const int loop : {3, 255, 256, 300}) {
    SCOPED_TRACE(loop);
    const kvt_output_options more = options(0, loop);
    const std::size_t size = render(&more).size();
    EXPECT_GT(size, previous);
    previous = size;
  }
}

}  // namespace
}  // namespace kvt::test
