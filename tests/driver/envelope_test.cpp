// Envelope building and running, damp, and the gain arithmetic, read from
// the part slot after whole blocks of 2048 frames at 44.1 kHz.
#include <gtest/gtest.h>

#include "render_expect.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;

Harness enveloped(std::array<std::uint8_t, 8> set, Bytes part, std::uint16_t tempo = 1) {
  VoiceParams v;
  v.samples.assign(64, 16384);
  v.sets[0] = set;
  return Harness(make_song({48, tempo, false, {std::move(part)}}), {{0, make_voice(v)}});
}

int level(const driver::PartSlot& p) { return p.env_level >> 8; }

TEST(Envelope, DecayThenEndlessSustainThenRelease) {
  // AL 127 = peak: no attack. Decay at rate 40 (80 x 16 = 1280 frames per
  // step) down 6 steps to 248, then a sustain of depth 0 holds for ever.
  Harness h = enveloped({127, 95, 40, 3, 0, 0, 90, 92}, {0x6D, 255, kKey, 255, 0xFF}, 100);
  EXPECT_EQ(level(h.part(0)), 254);
  EXPECT_EQ(h.part(0).env_seg, 1u);
  EXPECT_EQ(h.part(0).env_period, 1280u);
  h.play();
  EXPECT_EQ(level(h.part(0)), 253);
  for (int i = 0; i < 3; ++i) h.play();  // 8192 frames: 6 steps
  EXPECT_EQ(level(h.part(0)), 248);
  for (int i = 0; i < 10; ++i) h.play();
  EXPECT_EQ(level(h.part(0)), 248);
  EXPECT_EQ(h.part(0).env_table.segment[4].period, 64u);  // release rate 92
  EXPECT_EQ(h.part(0).env_table.segment[3].period, 0u);   // second decay disabled
}

TEST(Envelope, AttackRisesToThePeak) {
  // AL 100 -> level 200; attack rate 95 is one step per 16 frames, 54 steps.
  Harness h = enveloped({100, 95, 0, 0, 0, 0, 0, 92}, {0x6D, 255, kKey, 255, 0xFF}, 100);
  EXPECT_EQ(level(h.part(0)), 200);
  h.play();
  EXPECT_EQ(level(h.part(0)), 254);
  EXPECT_EQ(h.part(0).env_seg, 1u);
}

TEST(Envelope, InitialLevelAtABelowFullPeakHoldsTwoLongSteps) {
  Harness h = enveloped({100, 95, 0, 0, 0, 0, 0, 92}, {0x6C, 100, 0x78, 0, 1, 0x80, kKey, 255, 0xFF});
  const driver::EnvelopeSegment& attack = h.part(0).env_table.segment[0];
  EXPECT_EQ(h.part(0).env_table.initial_level, 200);
  EXPECT_EQ(attack.count, 2);
  EXPECT_EQ(attack.delta, 0);
  EXPECT_EQ(attack.period, 16u * 32);
}

TEST(Envelope, RateOffsetWrapsToTheSlowestRate) {
  // 100 + 40 = 140 counts as rate 0: 160 x 16 frames per step.
  Harness h = enveloped({127, 0, 100, 3, 0, 0, 0, 92}, {0xEB, 0x80, 40, 0x80, 0x78, 2, 1, 100, kKey, 255, 0xFF});
  EXPECT_EQ(h.part(0).env_table.segment[1].period, 2560u);
}

TEST(Envelope, DecayShiftStretchesDecayAndSustain) {
  // Set levels of set 0: peak 127, decay shift 2.
  VoiceParams v;
  v.samples.assign(64, 16384);
  v.sets[0] = {127, 0, 95, 3, 95, 3, 95, 95};
  v.set_levels[1] = 2;
  Harness h(make_song({48, 1, false, {{kKey, 255, 0xFF}}}), {{0, make_voice(v)}});
  const driver::EnvelopeTable& t = h.part(0).env_table;
  EXPECT_EQ(t.segment[1].period, 64u);
  EXPECT_EQ(t.segment[2].period, 64u);
  EXPECT_EQ(t.segment[3].period, 64u);
  EXPECT_EQ(t.segment[4].period, 16u);  // the release is never stretched
}

TEST(Envelope, DampOnAnOddLevelRoundsUpAndFallsByTwo) {
  // Attack from 252 to 254 at rate 0 (2560 frames per step): level 253 at
  // the damp on tick 199 (frame 3183), which makes it 254; then 57 steps of
  // 2 by frame 4095.
  Harness h = enveloped({126, 0, 0, 0, 0, 0, 0, 92}, {0x6D, 255, kKey, 200, 0x6D, 0, 0x75, 200, 0xFF});
  h.play();
  EXPECT_EQ(level(h.part(0)), 252);  // the rise to 253 comes at frame 2560
  h.play();
  EXPECT_EQ(level(h.part(0)), 254 - 2 * 57);
  EXPECT_EQ(h.part(0).env_count, 15u);
}

TEST(Envelope, NegativeDepthSaturatesAtTheTop) {
  Harness h = enveloped({127, 0, 95, 0xF6, 0, 0, 0, 92}, {0x6D, 255, kKey, 255, 0xFF}, 100);
  h.play();
  EXPECT_EQ(level(h.part(0)), 254);
}

TEST(Envelope, ParameterOverridesAndSetSelection) {
  VoiceParams v;
  v.samples.assign(64, 16384);
  v.sets[3] = {50, 95, 0, 0, 0, 0, 0, 92};
  v.set_levels[6] = 90;  // set 3 peak level
  // 0x78 0: AL = 100, AR unchanged; then set 3; then k bytes beyond MR
  // are read over without touching anything else.
  const Bytes part = {0x78, 0, 2, 100, 0x80, 0x78, 19, 0x78, 8, 4, 80, 0x80, 7, 9, kKey, 255, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, make_voice(v)}});
  EXPECT_EQ(h.part(0).env_params[0], 50);
  EXPECT_EQ(h.part(0).peak_level, 80);
  EXPECT_EQ(h.part(0).rate_offset[0], 0);
  EXPECT_EQ(h.part(0).env_table.initial_level, 100);
}

TEST(Envelope, UndefinedEnvelopeControlIsIgnored) {
  Harness h = enveloped({127, 0, 0, 0, 0, 0, 0, 92}, {0x78, 12, 0x78, 200, 0x6D, 255, kKey, 255, 0xFF});
  EXPECT_EQ(h.part(0).volume, 255);
  EXPECT_EQ(level(h.part(0)), 254);
}

TEST(Envelope, ZeroVolumeOrLevelIsSilent) {
  Harness quiet = enveloped({127, 0, 0, 0, 0, 0, 0, 92}, {0x6D, 0, kKey, 255, 0xFF});
  for (std::int16_t s : quiet.render(1)) ASSERT_EQ(s, 0);
  EXPECT_EQ(quiet.part(0).gain_left, 0u);
}

TEST(Envelope, GainsFollowVolumePartGainAndPan) {
  Harness h = enveloped({127, 0, 0, 0, 0, 0, 0, 92}, {0x6D, 240, 0xE9, 0xFF, 0xFF, 0x70, 0xC1, kKey, 255, 0xFF});
  const int index = (254 * 256 * 240) >> 16;
  const int g = (driver::volume_table(true)[index] * 0xFFFF) >> 16;
  EXPECT_EQ(h.part(0).gain_left, static_cast<std::uint32_t>((g * 362) >> 8));  // pan -63
  EXPECT_EQ(h.part(0).gain_right, 0u);
}

TEST(Envelope, PanOutsideTheTableIsClamped) {
  Harness left = enveloped({127, 0, 0, 0, 0, 0, 0, 92}, {0x70, 0x81, 0x68, 0x90, kKey, 255, 0xFF});
  EXPECT_EQ(left.part(0).pan, -63);
  EXPECT_EQ(left.part(0).pan_gain_left, 362);
  Harness right = enveloped({127, 0, 0, 0, 0, 0, 0, 92}, {0x70, 0x7F, kKey, 255, 0xFF});
  EXPECT_EQ(right.part(0).pan, 63);
  EXPECT_EQ(right.part(0).pan_gain_right, 362);
}

}  // namespace
}  // namespace kvt::test
