// Sample playback: pitch steps, interpolation of 8- and 16-bit samples,
// loops with and without a fraction, one-shot ends and program changes.
#include <gtest/gtest.h>

#include "guarded_memory.h"
#include "render_expect.h"
#include "song_builder.h"
#include "voice_format.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey36 = 36;

std::vector<std::int32_t> ramp(int n, int scale = 7, int offset = -9000) {
  std::vector<std::int32_t> s;
  for (int i = 0; i < n; ++i) s.push_back(offset + scale * i);
  return s;
}

// One part: full volume, then one long note at key index 36.
Bytes one_note_song(std::uint16_t tempo = 2, std::uint8_t length = 255, Bytes before = {}) {
  Bytes part = {0x6D, 255};
  part.insert(part.end(), before.begin(), before.end());
  part.insert(part.end(), {kKey36, length, 0xFF});
  return make_song({48, tempo, false, {part}});
}

TEST(Voice, Class0NoteAt44kReproducesTheSample) {
  VoiceParams v;
  v.samples = ramp(1000);
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto left = h.render_left(1);
  const int g = part_gain(255);
  std::vector<std::int16_t> expected;
  for (int i = 0; i < 1000; ++i) expected.push_back(scaled(v.samples[i], g));
  EXPECT_TRUE(samples_equal(expected, left));
  EXPECT_EQ(h.part(0).step_int, 1u);
  EXPECT_EQ(h.part(0).step_frac, 0u);
}

TEST(Voice, APositionAtOrPastTheSampleEndIsNeverRead) {
  VoiceParams v;
  v.samples = ramp(100);
  v.one_shot = true;
  const Bytes image = make_voice(v);
  Harness h(one_note_song(), {{0, image}});
  ASSERT_TRUE(h.part(0).sounding());
  // The samples end where access ends, and the position lies past them,
  // as if the sample had been cut under the voice.
  driver::GuardedMemory guarded(image.size());
  std::copy(image.begin(), image.end(), guarded.data());
  h.part(0).sample_start = guarded.data() + voice::kHeaderSize;
  h.part(0).pos = h.part(0).sample_end + 5;
  for (std::int16_t s : h.render_left(1)) ASSERT_EQ(s, 0);
  EXPECT_FALSE(h.part(0).sounding());
}

TEST(Voice, StereoChannelsAreEqualAtCentre) {
  VoiceParams v;
  v.samples = ramp(500);
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto all = h.render(1);
  for (std::size_t i = 0; i < all.size(); i += 2) ASSERT_EQ(all[i], all[i + 1]) << i;
}

TEST(Voice, OutputRateSetsTheStep) {
  VoiceParams v;
  v.samples = ramp(3000);
  struct Case {
    int rate;
    std::uint32_t step;
  };
  for (const Case c : {Case{2, 0x20000}, Case{1, 87381}, Case{4, 0x40000}}) {
    Harness h(one_note_song(), {{0, make_voice(v)}}, {c.rate, 2, 0, 1});
    EXPECT_EQ((h.part(0).step_int << 16) | h.part(0).step_frac, c.step) << c.rate;
  }
  Harness half(one_note_song(), {{0, make_voice(v)}}, {2, 2, 0, 1});
  const auto left = half.render_left(1);
  const int g = part_gain(255);
  std::vector<std::int16_t> expected;
  for (int i = 0; i < 1000; ++i) expected.push_back(scaled(v.samples[2 * i], g));
  EXPECT_TRUE(samples_equal(expected, left));
}

TEST(Voice, RateClassTuningOctaveShiftAndKeyOffset) {
  VoiceParams v;
  v.samples = ramp(100);
  v.rate_class = 2;
  Harness low(one_note_song(), {{0, make_voice(v)}});
  EXPECT_EQ(low.part(0).base_step, 0x8000u);  // a 22.05 kHz voice at 44.1 kHz

  v.rate_class = 0;
  v.tuning = 0x4000;
  Harness tuned(one_note_song(), {{0, make_voice(v)}});
  EXPECT_EQ(tuned.part(0).base_step, 0x8000u);

  v.tuning = 0xFFFF;  // reads as 1.0
  Harness shifted(one_note_song(2, 255, {0x7F, 1}), {{0, make_voice(v)}});
  EXPECT_EQ(shifted.part(0).base_step, 0x8000u);

  v.key_offset = 12;
  Harness up(one_note_song(), {{0, make_voice(v)}});
  EXPECT_EQ(up.part(0).base_step, 0x20000u);
}

TEST(Voice, TransposeFoldsIntoTheKeyRange) {
  VoiceParams v;
  v.samples = ramp(100);
  Harness up(one_note_song(2, 255, {0x66, 100}), {{0, make_voice(v)}});  // 136 folds to 88
  EXPECT_EQ(up.part(0).base_step, driver::pitch_entry(0, 0, 88));
  Harness down(one_note_song(2, 255, {0x66, static_cast<std::uint8_t>(-50)}), {{0, make_voice(v)}});  // -14 folds to 10
  EXPECT_EQ(down.part(0).base_step, driver::pitch_entry(0, 0, 10));
}

TEST(Voice, LoopWithoutFractionJumpsBackByTheLoopLength) {
  VoiceParams v;
  v.samples = ramp(3000, 3);
  v.loop_start = 1000;
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto left = h.render_left(3);
  const int g = part_gain(255);
  std::vector<std::int16_t> expected;
  for (int n = 0; n < 6000; ++n) {
    int pos = n;
    while (pos >= 3000) pos -= 2000;
    expected.push_back(scaled(v.samples[pos], g));
  }
  EXPECT_TRUE(samples_equal(expected, left));
}

TEST(Voice, LoopFractionShortensEachPassByAFraction) {
  VoiceParams v;
  v.samples = ramp(3000, 3);
  v.loop_start = 1000;
  v.loop_fraction = 128;  // each pass is 1999.5 samples
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto left = h.render_left(4);
  const int g = part_gain(255);
  std::vector<std::int16_t> expected;
  std::int64_t at = 0;  // position in 1/2 samples
  for (int n = 0; n < 8000; ++n, at += 2) {
    while (at >= 6000) at -= 3999;
    const std::int64_t i = at / 2;
    const std::int64_t frac = (at % 2) * 0x8000;
    const std::int64_t s0 = v.samples[i];
    const std::int64_t s1 = i + 1 < 3000 ? v.samples[i + 1] : v.samples[1000];
    expected.push_back(scaled_fixed(s0 * 65536 + (s1 - s0) * frac, g));
  }
  EXPECT_TRUE(samples_equal(expected, left));
}

TEST(Voice, OneShotStopsAtItsEndWhileTheKeyIsHeld) {
  VoiceParams v;
  v.samples = ramp(100, 50, 1000);
  v.one_shot = true;
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto left = h.render_left(1);
  EXPECT_NE(left[99], 0);
  for (std::size_t i = 100; i < left.size(); ++i) ASSERT_EQ(left[i], 0) << i;
  EXPECT_TRUE(h.part(0).flags & driver::kKeyHeld);
  EXPECT_EQ(h.part(0).env_level, 0);
}

TEST(Voice, StartAtLoopIsIgnoredForOneShotVoices) {
  VoiceParams v;
  v.samples = ramp(100, 50, 1000);
  v.loop_start = 60;
  Harness looped(one_note_song(2, 255, {0xE2, 1}), {{0, make_voice(v)}});
  EXPECT_EQ(looped.part(0).pos, 60u);
  v.one_shot = true;
  Harness once(one_note_song(2, 255, {0xE2, 1}), {{0, make_voice(v)}});
  EXPECT_EQ(once.part(0).pos, 0u);
}

TEST(Voice, EightBitInterpolation) {
  VoiceParams v;
  v.wide = false;
  v.samples = {0x80, 0xFF, 0x00, 0x90, 0x7F, 0x80, 0xC0, 0x40};
  v.rate_class = 2;  // step 0.5: every other frame lies half-way
  Harness h(one_note_song(), {{0, make_voice(v)}});
  const auto left = h.render_left(1);
  const int g = part_gain(255);
  std::vector<std::int16_t> expected;
  for (int n = 0; n < 16; ++n) {
    const int i = n / 2;
    const std::int64_t frac = (n % 2) * 0x8000;
    const int b0 = v.samples[i];
    const int b1 = i + 1 < 8 ? v.samples[i + 1] : v.samples[0];
    const int d = b1 - b0;
    const std::int64_t big_d = d >= 0 ? d * 256 : d * 256 + 255;
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>((b0 - 128) * (1 << 24) + big_d * frac));
    expected.push_back(scaled_fixed(value, g));
  }
  EXPECT_TRUE(samples_equal(expected, left));
}

TEST(Voice, SixteenBitRenderPath) {
  VoiceParams v;
  v.samples = {0, 20000, -20000, 32767, -32768, 100, -100, 5};
  v.rate_class = 2;
  Harness h(one_note_song(), {{0, make_voice(v)}}, {0, 2, 0, 0});
  const auto left = h.render_left(1);
  const int g = part_gain(255, false);
  std::vector<std::int16_t> expected;
  for (int n = 0; n < 16; ++n) {
    const int i = n / 2;
    const int frac = (n % 2) * 0x8000;
    const int s0 = v.samples[i];
    const int s1 = i + 1 < 8 ? v.samples[i + 1] : v.samples[0];
    const auto d = static_cast<std::int16_t>(s1 - s0);  // wraps, as on 16-bit hardware
    const auto x = static_cast<std::int16_t>(s0 + ((d * frac) >> 16));
    expected.push_back(static_cast<std::int16_t>((x * g) >> 9));
  }
  EXPECT_TRUE(samples_equal(expected, left));
}

TEST(Voice, ProgramChangeToAnEmptySlotStopsATiedNote) {
  // The tie keeps the voice across the boundary, where the program change
  // to slot 5 (empty) cuts it; slot 0 stays selected.
  const Bytes part = {0x6D, 255, kKey36, 4, 0x74, 0x73, 5, kKey36, 4, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, dc_voice(16384)}});
  const auto left = h.render_left(1);
  EXPECT_NE(left[62], 0);
  for (int i = 63; i < 128; ++i) ASSERT_EQ(left[i], 0) << i;
  EXPECT_EQ(h.part(0).voice_slot, 0);
}

TEST(Voice, VoiceOfLengthZeroIsSelectedAndPlaysSilence) {
  // Slot 3 holds a voice without samples: its notes are silent rather than
  // played by the voice that was selected before.
  VoiceParams none;
  none.loop_fraction = 128;
  none.default_set = 1;
  none.sets[1] = {100, 90, 0, 0, 0, 0, 0, 92};
  const Bytes part = {0x6D, 255, kKey36, 4, 0x73, 3, kKey36, 4, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, dc_voice(16384)}, {3, make_voice(none)}});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[40], scaled(16384, part_gain(255)));
  for (int i = 64; i < 128; ++i) ASSERT_EQ(left[i], 0) << i;
  EXPECT_EQ(h.part(0).voice_slot, 3);
  EXPECT_EQ(h.part(0).env_table.initial_level, 200);
}

TEST(Voice, ProgramChangeSelectsTheVoiceAndItsDefaultSet) {
  VoiceParams a;
  a.samples.assign(64, 1000);
  VoiceParams b = a;
  b.samples.assign(64, -3000);
  b.default_set = 2;
  b.sets[2] = {100, 90, 0, 0, 0, 0, 0, 92};
  const Bytes part = {0x6D, 255, 0x73, 7, kKey36, 200, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, make_voice(a)}, {7, make_voice(b)}});
  EXPECT_EQ(h.part(0).voice_slot, 7);
  EXPECT_EQ(h.part(0).env_table.initial_level, 200);
  const auto left = h.render_left(1);
  EXPECT_LT(left[0], 0);
}

}  // namespace
}  // namespace kvt::test
