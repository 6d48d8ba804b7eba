// Every instruction-set version of the effect kernels against the scalar
// one, byte for byte: chorus taps at every speed and with reads that meet
// the feeding tap's own writes, the reverb line and the fold; then whole
// songs with several taps, reverb modes and phase masks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "effect_runs.h"
#include "guarded_memory.h"
#include "song_builder.h"

namespace kvt::driver {
namespace {

constexpr std::uint32_t kRing = 4096;
constexpr std::uint32_t kCycle = (kRing - 1) << 8;

std::vector<std::int16_t> noise(std::size_t n, std::mt19937& random) {
  std::vector<std::int16_t> v(n);
  for (std::int16_t& s : v) s = static_cast<std::int16_t>(random());
  return v;
}

class IsaEffects : public IsaTest {};

TEST_P(IsaEffects, TapsMatchTheScalarKernelAtEverySpeedAndDistance) {
  std::mt19937 random(7);
  // The ring ends where access ends: a read past it crashes.
  GuardedMemory memory(2 * kRing);
  auto* ring = reinterpret_cast<std::int16_t*>(memory.data());
  const std::uint32_t speeds[] = {0, 1, 0xFF, 0x100, 0x101, 0x1FF, 0x200, 0x201, 0x345, 0x1000, 0xFFFF};
  for (const bool feeds : {false, true}) {
    const TapKernel tested = feeds ? effect_kernels(GetParam()).feed_tap : effect_kernels(GetParam()).tap;
    const TapKernel reference = feeds ? scalar_effect_kernels().feed_tap : scalar_effect_kernels().tap;
    for (const std::uint32_t speed : speeds) {
      for (int trial = 0; trial < 200; ++trial) {
        TapRun run{ring,
                   nullptr,
                   static_cast<std::uint32_t>(random() % kCycle),
                   speed,
                   static_cast<std::uint32_t>(random() % kRing),
                   static_cast<std::int32_t>(random() & 0xFF),
                   static_cast<std::int32_t>(random() & 0xFF),
                   (trial & 1 ? 0xFFFFu : 0u) | (trial & 2 ? 0xFFFF0000u : 0u)};
        // Near the read position the tap's own writes are read back.
        if (trial % 4 == 0) run.write = std::min<std::uint32_t>((run.at >> 8) + trial % 40, kRing - 1);
        if (trial % 5 == 0) run.at = kCycle - 1 - (random() % 0x1000);  // close to the ring's end
        // A run stops before either position wraps.
        std::uint32_t frames = 1 + random() % 300;
        if (speed != 0) frames = std::min(frames, (kCycle - run.at + speed - 1) / speed);
        if (feeds) frames = std::min(frames, kRing - run.write);
        std::copy_n(noise(kRing, random).begin(), kRing, ring);
        const std::vector<std::int16_t> ring_before(ring, ring + kRing);
        std::vector<std::int16_t> mix = noise(2 * frames, random);
        std::vector<std::int16_t> expected_mix = mix;
        run.frames = expected_mix.data();
        reference(run, frames);
        const std::vector<std::int16_t> expected_ring(ring, ring + kRing);
        std::copy(ring_before.begin(), ring_before.end(), ring);
        run.frames = mix.data();
        tested(run, frames);
        ASSERT_EQ(expected_mix, mix) << "speed " << speed << " at " << run.at << " write " << run.write;
        ASSERT_TRUE(std::equal(expected_ring.begin(), expected_ring.end(), ring)) << "speed " << speed;
      }
    }
  }
}

TEST_P(IsaEffects, ReverbAndFoldMatchTheScalarKernels) {
  std::mt19937 random(11);
  for (const std::uint32_t samples : {1u, 2u, 15u, 64u, 255u, 256u, 257u, 1000u, 4096u}) {
    const std::vector<std::int16_t> mix = noise(samples, random);
    const std::vector<std::int16_t> line = noise(samples, random);
    const auto level = static_cast<std::int32_t>(random() & 0xFF);
    const auto feedback = static_cast<std::int32_t>((random() & 0xFF) * 192 >> 8);
    std::vector<std::int16_t> expected_mix = mix, expected_line = line, tested_mix = mix, tested_line = line;
    std::int32_t expected_previous = -1234, tested_previous = -1234;
    scalar_effect_kernels().reverb(expected_mix.data(), expected_line.data(), samples, level, feedback,
                                   expected_previous);
    effect_kernels(GetParam()).reverb(tested_mix.data(), tested_line.data(), samples, level, feedback, tested_previous);
    EXPECT_EQ(expected_mix, tested_mix) << samples;
    EXPECT_EQ(expected_line, tested_line) << samples;
    EXPECT_EQ(expected_previous, tested_previous) << samples;

    std::vector<std::int16_t> expected_dry = mix, tested_dry = mix;
    scalar_effect_kernels().fold(expected_dry.data(), line.data(), samples);
    effect_kernels(GetParam()).fold(tested_dry.data(), line.data(), samples);
    EXPECT_EQ(expected_dry, tested_dry) << samples;
  }
}

// Units 0 and 1 with taps from a few samples to a whole ring of delay,
// sweeps fast enough to read several ring samples a frame, feedback and
// both phase masks, on the dry mix and on the effect bus, in each reverb
// mode.
test::Bytes effect_part(std::uint8_t reverb_mode) {
  test::Bytes p = {0x6D, 250, 0x7C, 120, 200, 90, 0, reverb_mode};
  const struct {
    std::uint8_t unit, tap, gain, feedback, delay, depth, rate, step, phase;
  } taps[] = {{0, 0, 200, 90, 3, 40, 5, 7, 1},
              {0, 1, 90, 0, 40, 254, 1, 200, 2},
              {0, 2, 60, 0, 0, 2, 144, 1, 3},
              {1, 0, 150, 255, 26, 4, 90, 1, 0},
              {1, 3, 77, 0, 53, 120, 3, 90, 1}};
  for (const auto& t : taps) {
    p.insert(p.end(), {0x7D, t.unit, t.tap, t.gain, t.feedback, t.delay, 0, t.depth, t.rate, t.step, t.phase});
  }
  p.insert(p.end(), {0xE6, 1, 1, 0, 0x7B, 1, 0x79});
  for (int n = 0; n < 6; ++n) p.insert(p.end(), {static_cast<std::uint8_t>(30 + 5 * n), 60});
  p.push_back(0xFF);
  return p;
}

TEST_P(IsaEffects, SongsWithEveryEffectRenderTheSameBytes) {
  test::VoiceParams voice;
  for (int i = 0; i < 3000; ++i) voice.samples.push_back((i * 53 % 700 - 350) * 80);
  voice.loop_start = 1000;
  for (const std::uint8_t mode : {0, 1, 2}) {
    for (const int channel : {1, 2}) {
      const test::Bytes song = test::make_song({48, 20, false, {effect_part(mode), {0x6D, 200, 0x79, 40, 200, 0xFF}}});
      const std::map<int, test::Bytes> voices = {{0, test::make_voice(voice)}};
      test::Harness reference(song, voices, {0, channel, 2, 1});
      reference.ctx().isa = Isa::scalar;
      test::Harness tested(song, voices, {0, channel, 2, 1});
      tested.ctx().isa = GetParam();
      const auto expected = reference.render(40);
      EXPECT_GT(*std::max_element(expected.begin(), expected.end()), 1000) << "a silent song guards nothing";
      EXPECT_EQ(expected, tested.render(40)) << "reverb mode " << int{mode} << " channels " << channel;
    }
  }
}

KVT_INSTANTIATE_ISA_TESTS(IsaEffects);

}  // namespace
}  // namespace kvt::driver
