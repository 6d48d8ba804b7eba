// The effect stage and the output format: sends, reverb echo, chorus taps,
// phase inversion, folding and mono packing.
#include <gtest/gtest.h>

#include "render_expect.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;
constexpr std::int32_t kImpulse = 20000;

// A one-shot voice that is a single impulse.
Bytes impulse_voice() {
  VoiceParams v;
  v.samples.assign(100, 0);
  v.samples[0] = kImpulse;
  v.one_shot = true;
  return make_voice(v);
}

Harness impulse(Bytes setup, Output out) {
  Bytes part = {0x6D, 255};
  part.insert(part.end(), setup.begin(), setup.end());
  part.insert(part.end(), {kKey, 255, 0xFF});
  return Harness(make_song({48, 100, false, {part}}), {{0, impulse_voice()}}, out);
}

std::int16_t impulse_out() { return scaled(kImpulse, part_gain(255)); }

TEST(Effects, WithoutEffectsTheSendIsIgnored) {
  Harness plain = impulse({}, {0, 2, 0, 1});
  Harness sent = impulse({0x7B, 1}, {0, 2, 0, 1});
  EXPECT_EQ(sent.part(0).effect_send, 0);
  EXPECT_EQ(plain.render(2), sent.render(2));
}

TEST(Effects, ReverbOffStillFoldsTheEffectBus) {
  Harness plain = impulse({}, {0, 2, 0, 1});
  Harness sent = impulse({0x7B, 1}, {0, 2, 1, 1});
  EXPECT_EQ(sent.part(0).effect_send, 1);
  EXPECT_EQ(plain.render(2), sent.render(2));
}

TEST(Effects, ReverbEchoReturnsAfterTheDelayInEachChannel) {
  // w = 100 at 44.1 kHz: 1600 frames (36.3 ms).
  Harness h = impulse({0x7C, 128, 0, 100, 0, 0}, {0, 2, 1, 1});
  const auto out = h.render(1);
  const std::int16_t a = impulse_out();
  EXPECT_EQ(out[0], a);
  EXPECT_EQ(out[1], a);
  for (int f = 1; f < 1600; ++f) ASSERT_EQ(out[2 * f], 0) << f;
  EXPECT_EQ(out[3200], (a * 128) >> 8);
  EXPECT_EQ(out[3201], (a * 128) >> 8);
  EXPECT_EQ(out[3202], 0);
}

TEST(Effects, ReverbFeedbackRepeatsTheEcho) {
  // Feedback 128 is scaled to 96/256; the second echo carries the first's
  // feedback term plus a quarter of the other channel's previous term.
  Harness h = impulse({0x7C, 255, 128, 10, 0, 0}, {0, 2, 1, 1});
  const auto out = h.render(1);
  const int a = impulse_out();
  const int t = (a * 96) >> 8;
  EXPECT_EQ(out[2 * 160], (a * 255) >> 8);
  EXPECT_EQ(out[2 * 320], (t * 255) >> 8);
  EXPECT_EQ(out[2 * 320 + 1], ((t + (t >> 2)) * 255) >> 8);
}

TEST(Effects, ReverbOnTheEffectBusOnly) {
  // Mode 1 reverberates what was sent; the dry part stays dry.
  Harness dry = impulse({0x7C, 128, 0, 100, 0, 1}, {0, 2, 1, 1});
  EXPECT_EQ(dry.render(1)[3200], 0);
  Harness sent = impulse({0x7C, 128, 0, 100, 0, 1, 0x7B, 1}, {0, 2, 1, 1});
  EXPECT_EQ(sent.render(1)[3200], (impulse_out() * 128) >> 8);
}

Bytes chorus_tap(std::uint8_t tap, std::uint8_t gain, std::uint8_t delay, std::uint8_t phase = 0,
                 std::uint8_t feedback = 0) {
  return {0x7D, 0, tap, gain, feedback, delay, 0, 0, 0, 0, phase};
}

TEST(Effects, ChorusTapIsAPlainEchoWithoutModulation) {
  // w = 10 at 22.05 kHz: 80 frames.
  Harness h = impulse(chorus_tap(0, 128, 10), {2, 2, 2, 1});
  const auto out = h.render(1);
  const int a = out[0];
  const int ring = (a >> 1) + (a >> 1);
  for (int f = 1; f < 80; ++f) ASSERT_EQ(out[2 * f], 0) << f;
  EXPECT_EQ(out[160], (ring * 128) >> 8);
  EXPECT_EQ(out[161], (ring * 128) >> 8);
  EXPECT_EQ(out[162], 0);
}

// Tap 0 with `first_gain` 10 ticks back, tap 1 at full weight 30 ticks back.
std::vector<std::int16_t> two_taps(std::uint8_t first_gain) {
  Bytes setup = chorus_tap(0, first_gain, 10);
  const Bytes second = chorus_tap(1, 128, 30);
  setup.insert(setup.end(), second.begin(), second.end());
  return impulse(setup, {2, 2, 2, 1}).render(1);
}

TEST(Effects, ChorusTapsReadTheRingThatTapZeroWrites) {
  const auto out = two_taps(64);
  const int ring = out[0] & ~1;
  EXPECT_EQ(out[160], (ring * 64) >> 8);
  EXPECT_EQ(out[480], (ring * 128) >> 8);
}

TEST(Effects, TapZeroWithoutGainWritesNothing) {
  const auto out = two_taps(0);
  for (std::size_t i = 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << i;
}

TEST(Effects, PhaseBitTwoInvertsOnlyTheLeftCopy) {
  Harness h = impulse(chorus_tap(0, 128, 10, 2), {2, 2, 2, 1});
  const auto out = h.render(1);
  // XOR inverts: even a silent tap output adds -1 to the left channel.
  const int a = out[1];
  EXPECT_EQ(out[0], a - 1);
  const int echo = (((a >> 1) * 2) * 128) >> 8;
  EXPECT_EQ(out[160], static_cast<std::int16_t>(echo ^ 0xFFFF));
  EXPECT_EQ(out[161], echo);
}

TEST(Effects, ChorusNeedsEffectLevelTwo) {
  Harness h = impulse(chorus_tap(0, 128, 10), {2, 2, 1, 1});
  EXPECT_EQ(h.render(1)[160], 0);
}

TEST(Effects, MonoOutputIsTheLeftChannelPacked) {
  // In mono the pan commands are ignored, so a panned stereo song's mono
  // rendering equals the centred stereo rendering's left channel.
  const Bytes voice = dc_voice(12345);
  const Bytes centred = make_song({48, 1, false, {{0x6D, 250, kKey, 20, 0x6D, 200, kKey, 20, 0xFF}}});
  const Bytes panned = make_song({48, 1, false, {{0x70, 0xD0, 0x6D, 250, kKey, 20, 0x68, 0x30, 0x6D, 200, kKey, 20, 0xFF}}});
  for (int effects = 0; effects <= 2; ++effects) {
    Harness stereo(centred, {{0, voice}}, {0, 2, effects, 1});
    Harness mono(panned, {{0, voice}}, {0, 1, effects, 1});
    EXPECT_EQ(mono.part(0).pan, 0);
    EXPECT_EQ(stereo.render_left(2), mono.render(2)) << effects;
  }
}

TEST(Effects, MonoReverbAfterTheFoldMatchesStereoLeft) {
  const Bytes setup = {0x7C, 200, 100, 50, 0, 2, 0x7B, 1};
  Harness stereo = impulse(setup, {0, 2, 1, 1});
  Harness mono = impulse(setup, {0, 1, 1, 1});
  EXPECT_EQ(stereo.render_left(2), mono.render(2));
}

TEST(Effects, EchoTailsKeepSoundingAfterTheSongEnds) {
  Bytes part = {0x7C, 128, 0, 200, 0, 0, 0x6D, 255, kKey, 1, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, impulse_voice()}}, {0, 2, 1, 1});
  EXPECT_EQ(h.play(), -1);
  EXPECT_EQ(h.block()[0], impulse_out());
  EXPECT_EQ(h.play(), -1);
  EXPECT_EQ(h.block()[2 * (3200 - 2048)], (impulse_out() * 128) >> 8);
}

}  // namespace
}  // namespace kvt::test
