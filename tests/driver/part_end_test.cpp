// The end of a part while its voice still sounds: cut dead as always, or,
// with the soft end, faded out over about 4 ms, also across blocks; and the
// pass count past the byte that the play result wraps in.
#include <gtest/gtest.h>

#include <cstdlib>

#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;
constexpr int kDc = 16384;
constexpr std::size_t kRampFrames = 176;  // 4 ms at 44.1 kHz

// The left channel of 2048 frames of one held note that its part's end
// cuts, rendered in blocks of `block_frames`.
std::vector<std::int16_t> cut_note(bool soft_end, int block_frames = 2048) {
  Harness h(make_song({48, 1, false, {{0x6D, 255, kKey, 10, 0xFF}}}), {{0, dc_voice(kDc)}});
  h.set_block_frames(block_frames);
  h.ctx().soft_part_end = soft_end;
  std::vector<std::int16_t> left;
  for (int block = 0; block < 2048 / block_frames; ++block) {
    h.play();
    for (int i = 0; i < block_frames; ++i) left.push_back(h.block()[2 * i]);
  }
  return left;
}

std::size_t cut_at(const std::vector<std::int16_t>& left) {
  for (std::size_t i = 1; i < left.size(); ++i)
    if (left[i] == 0 && left[i - 1] != 0) return i;
  return left.size();
}

TEST(PartEnd, SoftEndFadesTheCutVoiceWhereTheHardEndDropsToZero) {
  const std::vector<std::int16_t> hard = cut_note(false);
  const std::vector<std::int16_t> soft = cut_note(true);
  const std::size_t end = cut_at(hard);
  ASSERT_LT(end + kRampFrames, hard.size());
  ASSERT_GT(std::abs(hard[end - 1]), 1000) << "the note still sounds when its part ends";
  EXPECT_EQ(std::vector<std::int16_t>(soft.begin(), soft.begin() + static_cast<long>(end)),
            std::vector<std::int16_t>(hard.begin(), hard.begin() + static_cast<long>(end)));
  for (std::size_t i = end; i < hard.size(); ++i) ASSERT_EQ(hard[i], 0) << "frame " << i;

  // From about the level before the cut (the note is releasing) down to
  // nothing in 4 ms, never rising.
  EXPECT_GT(std::abs(soft[end]), std::abs(hard[end - 1]) * 9 / 10);
  for (std::size_t i = end + 1; i < end + kRampFrames; ++i) {
    ASSERT_LE(std::abs(soft[i]), std::abs(soft[i - 1])) << "frame " << i;
    ASSERT_NE(soft[i], 0) << "frame " << i;
  }
  for (std::size_t i = end + kRampFrames; i < soft.size(); ++i) ASSERT_EQ(soft[i], 0) << "frame " << i;
}

TEST(PartEnd, TheFadeGoesOnInTheBlocksAfterTheCut) {
  EXPECT_EQ(cut_note(true, 16), cut_note(true));  // one tick a block
  EXPECT_EQ(cut_note(false, 16), cut_note(false));
}

TEST(PartEnd, PassesCountOnWhereThePlayResultWraps) {
  Harness h(make_song({48, 1, false, {{0x79, kKey, 1, 0xFF}, {0x79, kKey, 4, 0xFF}}}), {{0, dc_voice(kDc)}});
  h.play();
  EXPECT_EQ(h.play(), 0);  // part 1's 256th pass wraps the result
  EXPECT_EQ(driver::passes(h.ctx()), 64);
}

}  // namespace
}  // namespace kvt::test
