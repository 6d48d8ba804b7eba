// The per-tick modulators, stepped one tick per block: both vibratos, the
// pitch swing, detune and the volume sequence modes.
#include <gtest/gtest.h>

#include "render_expect.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;

// One tick (16 frames at tempo 1) per block.
Harness ticking(Bytes part) {
  Harness h(make_song({48, 1, false, {std::move(part)}}), {{0, dc_voice(8000, 4000)}});
  h.set_block_frames(16);
  return h;
}

template <typename Read>
std::vector<int> per_tick(Harness& h, int ticks, Read read) {
  std::vector<int> out = {read(h.part(0))};
  for (int i = 0; i < ticks; ++i) {
    h.play();
    out.push_back(read(h.part(0)));
  }
  return out;
}

std::uint32_t step_of(const driver::PartSlot& p) { return (p.step_int << 16) | p.step_frac; }

TEST(Modulation, VibratoIsATriangleAroundThePitch) {
  // count 4, speed 2, delay 0, step 10: peak 20, period 16 ticks.
  Harness h = ticking({0x6D, 255, 0x76, 4, 0, 2, 0, 10, 0, kKey, 200, 0xFF});
  const auto offsets = per_tick(h, 17, [](const driver::PartSlot& p) { return p.vibrato[0].offset; });
  EXPECT_EQ(offsets, (std::vector<int>{0, 0, 10, 10, 20, 20, 10, 10, 0, 0, -10, -10, -20, -20, -10, -10, 0, 0}));
  for (int i = 0; i < 4; ++i) h.play();
  const driver::PartSlot& p = h.part(0);
  EXPECT_EQ(step_of(p), static_cast<std::uint32_t>((std::int64_t{65536} * (4096 + p.vibrato[0].offset)) >> 12));
}

TEST(Modulation, VibratoDelayAndSecondVibratoAdd) {
  // Vibrato 2 starts after 3 ticks and never turns (count 0xFFFF).
  Harness h = ticking({0x6D, 255, 0xE8, 0xFF, 0xFF, 1, 3, 0xFE, 0xFF, 0x77, 5, kKey, 200, 0xFF});
  const auto offsets = per_tick(h, 6, [](const driver::PartSlot& p) { return p.vibrato[1].offset; });
  EXPECT_EQ(offsets, (std::vector<int>{0, 0, 0, 0, -2, -4, -6}));
  EXPECT_EQ(step_of(h.part(0)), static_cast<std::uint32_t>((std::int64_t{65536} * (4096 - 6 + 5)) >> 12));
}

TEST(Modulation, ModulationPausesWhileTheVoiceIsSilent) {
  // A one-shot voice of 20 samples falls silent after tick 1.
  VoiceParams v;
  v.samples.assign(20, 8000);
  v.one_shot = true;
  Harness h(make_song({48, 1, false, {{0x6D, 255, 0x76, 4, 0, 1, 0, 10, 0, kKey, 200, 0xFF}}}), {{0, make_voice(v)}});
  h.set_block_frames(16);
  const auto offsets = per_tick(h, 4, [](const driver::PartSlot& p) { return p.vibrato[0].offset; });
  EXPECT_EQ(offsets, (std::vector<int>{0, 10, 10, 10, 10}));
}

TEST(Modulation, PitchSwingSwingsBetweenItsLimits) {
  // period 4, step 1.0 per tick: limits +-2 units.
  Harness h = ticking({0x6D, 255, 0xE0, 4, 0, 0x00, 0x00, 0x01, 0x00, kKey, 200, 0xFF});
  const auto swing = per_tick(h, 9, [](const driver::PartSlot& p) { return p.swing.accumulator >> 16; });
  EXPECT_EQ(swing, (std::vector<int>{0, 1, 2, 1, 0, -1, -2, -1, 0, 1}));
}

TEST(Modulation, ShortFormSwingStartsDownwardForANegativeStep) {
  Harness up = ticking({0x6D, 255, 0xE3, 4, 0xE4, 1, kKey, 200, 0xFF});
  const auto a = per_tick(up, 3, [](const driver::PartSlot& p) { return p.swing.accumulator >> 16; });
  EXPECT_EQ(a, (std::vector<int>{0, 1, 2, 1}));
  Harness down = ticking({0x6D, 255, 0xE0, 4, 0, 0x00, 0x00, 0xFF, 0xFF, kKey, 200, 0xFF});
  const auto b = per_tick(down, 3, [](const driver::PartSlot& p) { return p.swing.accumulator >> 16; });
  EXPECT_EQ(b, (std::vector<int>{0, -1, -2, -1}));
  Harness off = ticking({0x6D, 255, 0xE3, 4, 0xE4, 1, 0xE5, kKey, 200, 0xFF});
  const auto c = per_tick(off, 3, [](const driver::PartSlot& p) { return p.swing.accumulator; });
  EXPECT_EQ(c, (std::vector<int>{0, 0, 0, 0}));
}

int volume_of(const driver::PartSlot& p) { return p.eff_volume; }

TEST(Modulation, VolumeSequenceEveryNote) {
  // start 5 (10 volume steps), 3 ticks of +1, then hold; restarts per note.
  Harness h = ticking({0x6D, 200, 0xE7, 2, 5, 3, 128, 0, 0, kKey, 5, kKey, 5, 0xFF});
  const auto v = per_tick(h, 7, volume_of);
  EXPECT_EQ(v, (std::vector<int>{210, 211, 212, 213, 213, 210, 211, 212}));
}

TEST(Modulation, VolumeSequenceOneNoteOnly) {
  Harness h = ticking({0x6D, 200, 0xE7, 1, 5, 3, 128, 0, 0, kKey, 5, kKey, 5, 0xFF});
  const auto v = per_tick(h, 7, volume_of);
  EXPECT_EQ(v, (std::vector<int>{210, 211, 212, 213, 213, 200, 200, 200}));
}

TEST(Modulation, VolumeSequenceOnceAcrossNotes) {
  // A falling sequence that carries on over the note boundary (a note-on
  // advances it by one tick), then stops and is cleared at the next note.
  Harness h = ticking({0x6D, 200, 0xE7, 3, 0, 6, 0x00, 0xFF, 0, kKey, 4, kKey, 4, kKey, 4, 0xFF});
  const auto v = per_tick(h, 11, volume_of);
  EXPECT_EQ(v, (std::vector<int>{200, 198, 196, 194, 192, 190, 188, 188, 200, 200, 200, 200}));
}

}  // namespace
}  // namespace kvt::test
