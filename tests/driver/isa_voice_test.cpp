// Every instruction-set version of the voice kernels against the scalar
// one, byte for byte: all shapes, steps from zero to beyond the vector
// limit, runs of every length up to the sample end, and wrap-around of the
// mix. The samples end at a page with no access, so a read past the voice
// image crashes the test.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "guarded_memory.h"
#include "voice_format.h"
#include "voice_run.h"

namespace kvt::driver {
namespace {

struct Voice {
  bool wide16;
  std::uint32_t length;  // samples before the copied one
};

class IsaVoice : public IsaTest {
 protected:
  // Renders the run with the scalar and the tested kernel of `shape` over
  // the same random mix and expects the same bytes.
  void expect_same(int shape, const VoiceRun& run, std::uint32_t frames, std::mt19937& random) {
    std::vector<std::int16_t> mix(2 * frames + 2);
    for (std::int16_t& s : mix) s = static_cast<std::int16_t>(random());
    std::vector<std::int16_t> expected = mix;
    scalar_voice_kernels()[shape](run, expected.data(), frames);
    voice_kernels(GetParam())[shape](run, mix.data(), frames);
    ASSERT_EQ(expected, mix) << "shape " << shape << " step 0x" << std::hex << run.step << " at 0x" << run.at
                             << std::dec << " frames " << frames;
  }
};

// The frames from `at` up to the last one before the sample end.
std::uint32_t frames_to_end(std::uint64_t at, std::uint64_t step, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{length} << 16;
  return step == 0 ? 40 : static_cast<std::uint32_t>((end - at + step - 1) / step);
}

TEST_P(IsaVoice, MatchTheScalarKernelOnEveryShapeStepAndRunLength) {
  std::mt19937 random(97);
  const std::uint64_t steps[] = {0,       1,        0x3FFF,   0x8000,    0xFFFF,    0x10000,
                                 0x10001, 0x18000,  0x1FFFF,  0x20000,   0x20001,   0x2A3C5,
                                 0x40000, 0x11C71C, 0xFFFFFF, 0x1000000, 0x1000001, 0x5000000};
  for (const Voice voice : {Voice{true, 300}, Voice{false, 300}, Voice{true, 3}, Voice{false, 2}}) {
    const std::size_t sample_bytes = (voice.length + 1) * (voice.wide16 ? 2 : 1);
    GuardedMemory image(voice::kHeaderSize + sample_bytes);
    std::uint8_t* samples = image.data() + voice::kHeaderSize;
    for (std::size_t i = 0; i < voice::kHeaderSize + sample_bytes; ++i)
      image.data()[i] = static_cast<std::uint8_t>(random());
    // Extremes make the 16-bit differences overflow.
    samples[0] = 0x7F;
    samples[voice.wide16 ? 3 : 1] = 0x80;
    for (int shape = 0; shape < 8; ++shape) {
      if (((shape & 2) != 0) != voice.wide16) continue;
      for (const std::uint64_t step : steps) {
        for (int trial = 0; trial < 12; ++trial) {
          // The first trials start at the extreme fractions, where the
          // lanes reach furthest.
          std::uint64_t at = random() % (std::uint64_t{voice.length} << 16);
          if (trial < 2) at = (at & ~std::uint64_t{0xFFFF}) | (trial == 0 ? 0xFFFF : 0);
          const std::int32_t gains[] = {0, 0xFFFF, static_cast<std::int32_t>(random() & 0xFFFF)};
          VoiceRun run{samples, at, step, voice.length, gains[trial % 3], gains[(trial + 1) % 3]};
          const std::uint32_t whole = frames_to_end(at, step, voice.length);
          // Every length up to the end, so each lane meets the sample end.
          for (std::uint32_t frames = 1; frames <= std::min<std::uint32_t>(whole, 40); ++frames) {
            expect_same(shape, run, frames, random);
          }
          expect_same(shape, run, std::min<std::uint32_t>(whole, 2048), random);
        }
      }
    }
  }
}

KVT_INSTANTIATE_ISA_TESTS(IsaVoice);

}  // namespace
}  // namespace kvt::driver
