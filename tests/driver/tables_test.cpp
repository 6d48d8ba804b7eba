// The driver's fixed numbers: volume table, pitch tables, pan law, and the
// sample steps they give for each rate class and output rate.
#include <gtest/gtest.h>

#include "kvt/driver.h"
#include "tables.h"

namespace kvt::driver {
namespace {

TEST(Tables, VolumeTableWideForm) {
  const auto& v = volume_table(true);
  EXPECT_EQ(v[255], 32767);
  EXPECT_EQ(v[254], 31378);
  EXPECT_EQ(v[240], 17111);
  EXPECT_EQ(v[224], 8556);
  EXPECT_EQ(v[192], 2139);
  EXPECT_EQ(v[128], 133);
  EXPECT_EQ(v[64], 8);
  EXPECT_EQ(v[0], 0);
}

TEST(Tables, VolumeTableNarrowForm) {
  const auto& v = volume_table(false);
  EXPECT_EQ(v[255], 255);
  EXPECT_EQ(v[254], 245);
  for (int i = 1; i < 256; ++i) EXPECT_LE(v[i - 1], v[i]) << i;
}

TEST(Tables, PitchBaseTable) {
  const auto& t = pitch_tables();
  const std::uint32_t top[12] = {8388608,  8887420,  9415894,  9975792,  10568983, 11197448,
                                 11863283, 12568710, 13316085, 14107900, 14946800, 15835583};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(t.tab_base[156 + k], top[k]);
  EXPECT_EQ(t.tab_base[0], 1024u);
  EXPECT_EQ(t.tab_base[12], 2048u);
  EXPECT_EQ(t.tab_base[72], 65536u);
  EXPECT_EQ(t.tab_3_4[0], t.tab_base[12] * 3 / 4);
  EXPECT_EQ(t.tab_4_3[5], t.tab_base[5] * 4 / 3);
  EXPECT_EQ(t.tab_31250[0], static_cast<std::uint32_t>(std::uint64_t{t.tab_base[24]} * 31250 / 44100));
  EXPECT_EQ(t.tab_23810_4_3[119], t.tab_23810[119] * 4 / 3);
}

TEST(Tables, StepsForKey36) {
  EXPECT_EQ(pitch_entry(0, 0, 36), 65536u);        // 44.1 kHz voice at 44.1 kHz: 1.0
  EXPECT_EQ(pitch_entry(0, 2, 36), 131072u);       // at 22.05 kHz: 2.0
  EXPECT_EQ(pitch_entry(0, 1, 36), 87381u);        // at 33.08 kHz: 4/3
  EXPECT_EQ(pitch_entry(0, 4, 36), 262144u);       // at 11.03 kHz: 4.0
  EXPECT_EQ(pitch_entry(2, 0, 36), 32768u);        // 22.05 kHz voice: 0.5
  EXPECT_EQ(pitch_entry(1, 1, 36), 65536u);        // 33.08 kHz voice at 33.08 kHz: 1.0
  EXPECT_EQ(pitch_entry(1, 0, 36), 49152u);        // at 44.1 kHz: 3/4
  EXPECT_EQ(pitch_entry(8, 0, 36), 23219u);        // 15625 Hz voice: 0.3543
  EXPECT_EQ(pitch_entry(0, 0, 48), 131072u);       // an octave up
}

TEST(Tables, EveryDefinedIndexStaysInsideItsTable) {
  // Octave folding must never be needed for key indices 0..95 at the
  // offered rates, except class 7 at 44.1 kHz below index 12.
  for (int c = 0; c <= 10; ++c) {
    for (int r = 0; r <= 4; ++r) {
      for (int i = (c == 7 && r == 0) ? 12 : 0; i < 95; ++i) {
        EXPECT_LT(pitch_entry(c, r, i), pitch_entry(c, r, i + 1)) << c << " " << r << " " << i;
      }
    }
  }
}

TEST(Tables, IndicesOutsideATableFoldByOctaves) {
  EXPECT_EQ(pitch_entry(7, 0, 0), pitch_entry(7, 0, 12));
  EXPECT_EQ(pitch_entry(0, 0, 255), pitch_entry(0, 0, 255 - 12 * 11));
}

TEST(Tables, PanLaw) {
  EXPECT_EQ(pan_gains(0).left, 256);
  EXPECT_EQ(pan_gains(0).right, 256);
  EXPECT_EQ(pan_gains(-63).left, 362);
  EXPECT_EQ(pan_gains(-63).right, 0);
  EXPECT_EQ(pan_gains(-62).left, 360);
  EXPECT_EQ(pan_gains(-62).right, 32);
  EXPECT_EQ(pan_gains(63).right, 362);
  EXPECT_EQ(pan_gains(-100).left, 362);  // clamped
}

TEST(Tables, RateFactors) {
  const int expected[8] = {16, 12, 8, 6, 4, 3, 2, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(rate_factor(i), expected[i]);
}

TEST(Tables, WorkSize) { EXPECT_EQ(_kvt_worksize(), 384); }

}  // namespace
}  // namespace kvt::driver
