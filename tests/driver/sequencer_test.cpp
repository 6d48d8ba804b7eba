// The sequencer through rendered output: tick timing, gate and damp points,
// merged rests, repeats, calls, tempo, the loop point and the fade-out.
// A DC voice makes the output equal to the part's gain, so each note's
// volume and each envelope step can be read off the samples.
#include <gtest/gtest.h>

#include "render_expect.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;
constexpr int kDc = 16384;

Harness dc_harness(std::vector<Bytes> parts, std::uint16_t tempo = 1) {
  return Harness(make_song({48, tempo, false, std::move(parts)}), {{0, dc_voice(kDc)}});
}

std::int16_t level_of(int volume, int level = 254) { return scaled(kDc, part_gain(volume, true, level)); }

// Volumes of the notes in `left`, read in the middle of each `ticks`-long
// note slot (16 frames per tick).
std::vector<std::int16_t> note_levels(const std::vector<std::int16_t>& left, int ticks, int count) {
  std::vector<std::int16_t> out;
  for (int k = 0; k < count; ++k) out.push_back(left.at(static_cast<std::size_t>(k * ticks * 16 + 8)));
  return out;
}

Bytes note(std::uint8_t volume, std::uint8_t length = 2) { return {0x6D, volume, kKey, length}; }

Bytes join(std::initializer_list<Bytes> pieces) {
  Bytes out;
  for (const Bytes& p : pieces) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(Sequencer, GateRatioReleasesWhenTwoTicksRemain) {
  // length 10, q = 24: r = floor(10 * 8 / 32) = 2, so the key-off comes on
  // tick 8 (frame 127); the release (64 frames per step) first lowers the
  // level 64 frames later. Damp point 0 keeps the damp out of the way.
  Harness h = dc_harness({{0x6D, 255, 0x7A, 0, 0xE1, 24, kKey, 10, 0x75, 20, 0xFF}});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[190], level_of(255));
  EXPECT_EQ(left[191], level_of(255, 253));
}

TEST(Sequencer, GateMinimumLimitsTheRelease) {
  // r + 9 >= 10, so r = 1: key-off on tick 9 (frame 143).
  Harness h = dc_harness({{0x6D, 255, 0x7A, 0, 0xE1, 24, 0x72, 0, 9, kKey, 10, 0x75, 20, 0xFF}});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[206], level_of(255));
  EXPECT_EQ(left[207], level_of(255, 253));
}

TEST(Sequencer, GateTicksAddToTheRatio) {
  // r = 0 + 3: key-off on tick 7 (frame 111).
  Harness h = dc_harness({{0x6D, 255, 0x7A, 0, 0x72, 3, 0, kKey, 10, 0x75, 20, 0xFF}});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[174], level_of(255));
  EXPECT_EQ(left[175], level_of(255, 253));
}

TEST(Sequencer, DefaultDampFadesEachNoteOneTickBeforeItsEnd) {
  // 32 frames per tick: damp on tick 9 of a 10-tick note (frame 287); the
  // level rounds up to even and drops by 2 every 16 frames.
  Harness h = dc_harness({{0x6D, 255, kKey, 10, 0x6D, 0, 0x75, 20, 0xFF}}, 2);
  const auto left = h.render_left(1);
  EXPECT_EQ(left[302], level_of(255));
  EXPECT_EQ(left[303], level_of(255, 252));
  EXPECT_EQ(left[318], level_of(255, 252));
}

TEST(Sequencer, MergedRestKeepsTheReleaseAndDelaysTheNextEvent) {
  // Note of 4 ticks (released with 1 remaining: tick 3), rest of 6 merged:
  // still released on tick 3 (frame 47), next note read on tick 10.
  const Bytes part = {0x6D, 255, 0x7A, 0, 0xE1, 24, kKey, 4, 0x75, 6, kKey, 10, 0xFF};
  Harness h = dc_harness({part});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[110], level_of(255));
  EXPECT_EQ(left[111], level_of(255, 253));
  EXPECT_LT(left[158], left[110]);
  EXPECT_EQ(left[159], level_of(255));
}

TEST(Sequencer, DefaultLengthNotesAndRests) {
  // 0xA4 is key 36 with the default length (set to 3); 0xF5 a default rest.
  Harness h = dc_harness({{0x6D, 255, 0x6A, 3, 0xA4, 0xF5, 0x6D, 200, 0xA4, 0xFF}});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[8], level_of(255));
  EXPECT_EQ(left[6 * 16 + 8], level_of(200));
}

TEST(Sequencer, RepeatWithBreakSkipsTheTailOnTheLastPass) {
  const Bytes part = join({{0x7A, 0, 0x60, 3}, note(255), {0x62}, note(200), {0x61}, note(150), {0xFF}});
  Harness h = dc_harness({part});
  const auto levels = note_levels(h.render_left(1), 2, 7);
  const std::vector<std::int16_t> expected = {level_of(255), level_of(200), level_of(255), level_of(200),
                                              level_of(255), level_of(150), 0};
  EXPECT_EQ(levels, expected);
}

TEST(Sequencer, RepeatCountOnePlaysOnceAndCountZeroPlays256Times) {
  Harness once = dc_harness({join({{0x7A, 0, 0x60, 1}, note(255), {0x61}, note(150), {0xFF}})});
  const auto levels = note_levels(once.render_left(1), 2, 3);
  EXPECT_EQ(levels, (std::vector<std::int16_t>{level_of(255), level_of(150), 0}));

  Harness many = dc_harness({join({{0x7A, 0, 0x60, 0}, note(255, 1), {0x61}, note(150, 1), {0xFF}})});
  const auto left = many.render_left(3);
  EXPECT_EQ(left.at(255 * 16 + 8), level_of(255));
  EXPECT_EQ(left.at(256 * 16 + 8), level_of(150));
}

TEST(Sequencer, SeventeenthNestedRepeatIsIgnored) {
  Bytes part = {0x7A, 0};
  for (int i = 0; i < 16; ++i) part.insert(part.end(), {0x60, 1});
  part.insert(part.end(), {0x60, 2});  // ignored with its count
  part = join({part, note(255), {0x61}, note(150)});
  for (int i = 0; i < 16; ++i) part.push_back(0x61);
  part.push_back(0xFF);
  Harness h = dc_harness({part});
  const auto levels = note_levels(h.render_left(1), 2, 3);
  EXPECT_EQ(levels, (std::vector<std::int16_t>{level_of(255), level_of(150), 0}));
}

TEST(Sequencer, NestedRepeatsOfCommandsRunWithinOneTick) {
  // 65,536 volume steps of 0 before the first note, then 16,646,657 commands
  // (just under 2^24) before the second: each note still starts on time.
  const Bytes steps = {0x60, 0, 0x60, 0, 0x6E, 0, 0x61, 0x61};
  const Bytes more = {0x60, 0, 0x60, 0, 0x60, 126, 0x6E, 0, 0x61, 0x61, 0x61};
  Harness h = dc_harness({join({{0x7A, 0}, steps, note(255), more, note(150), {0xFF}})});
  const auto levels = note_levels(h.render_left(1), 2, 3);
  EXPECT_EQ(levels, (std::vector<std::int16_t>{level_of(255), level_of(150), 0}));
}

TEST(Sequencer, CallPlaysTheMarkedPhraseAgain) {
  const Bytes part = join({{0x7A, 0, 0x63}, note(255), {0x64}, note(200), {0x65}, note(150), {0xFF}});
  Harness h = dc_harness({part});
  const auto levels = note_levels(h.render_left(1), 2, 5);
  EXPECT_EQ(levels,
            (std::vector<std::int16_t>{level_of(255), level_of(200), level_of(255), level_of(150), 0}));
}

TEST(Sequencer, TempoInPartOneRetimesEveryPart) {
  // Part 2 plays 2-tick notes; part 1 doubles the tick period at tick 2, so
  // the third note of part 2 starts at frame 31 + 64 = 95, not 63.
  const Bytes conductor = {0x75, 2, 0x71, 2, 0, 0x75, 200, 0xFF};
  const Bytes player = join({{0x7A, 0}, note(255), note(150), note(255), note(150), {0xFF}});
  Harness h = dc_harness({conductor, player});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[94], level_of(150));
  EXPECT_EQ(left[95], level_of(255));
  EXPECT_EQ(h.ctx().song_tempo, 32);
}

TEST(Sequencer, TempoInAnotherPartChangesNothing) {
  const Bytes player = join({{0x7A, 0}, note(255), {0x71, 2, 0x00}, note(150), note(255), {0xFF}});
  Harness h = dc_harness({{0x75, 200, 0xFF}, player});
  const auto left = h.render_left(1);
  EXPECT_EQ(left[62], level_of(150));
  EXPECT_EQ(left[63], level_of(255));
}

TEST(Sequencer, TempoChangeSurvivesTheLastPartEndingEarly) {
  // Part 2 ends before part 1 changes the tempo in the same block; the next
  // block must still run at the new tempo.
  const Bytes conductor = {0x75, 20, 0x71, 3, 0x00, 0x75, 200, 0xFF};
  Harness h = dc_harness({conductor, {0x75, 5, 0xFF}});
  h.play();
  h.play();
  EXPECT_EQ(h.ctx().samples_per_tick, 48);
}

TEST(Sequencer, HeaderTempoSaturatesAndZeroCountsAsOne) {
  Harness slow(make_song({48, 5000, false, {{kKey, 1, 0xFF}}}), {{0, dc_voice(kDc)}});
  EXPECT_EQ(slow.ctx().samples_per_tick, 65535);
  Harness zero(make_song({48, 0, false, {{kKey, 1, 0xFF}}}), {{0, dc_voice(kDc)}});
  EXPECT_EQ(zero.ctx().samples_per_tick, 16);
}

TEST(Sequencer, ReturnValueIsTheLeastLoopCount) {
  Harness h = dc_harness({{0x79, kKey, 1, 0xFF}, {0x79, kKey, 4, 0xFF}});
  EXPECT_EQ(h.play(), 32);
  EXPECT_EQ(h.play(), 0);  // part 1's 256th pass wraps its count to 0
  EXPECT_EQ(h.part(1).loop_count, 64);
}

TEST(Sequencer, SongEndsWhenEveryPartHasEnded) {
  Harness h = dc_harness({{kKey, 10, 0xFF}, {}, {kKey, 200, 0xFF}});
  EXPECT_EQ(h.play(), 0);
  EXPECT_EQ(h.part(0).ended, 1);
  EXPECT_EQ(h.part(1).ended, 1);  // absent
  EXPECT_EQ(h.play(), -1);
  EXPECT_EQ(h.play(), -1);
}

TEST(Sequencer, EmptyPartTableMeansNoParts) {
  Harness h(make_song({48, 1, false, {}}), {{0, dc_voice(kDc)}});
  EXPECT_EQ(h.play(), -1);
}

TEST(Sequencer, ParagraphOffsetsCountSixteenBytes) {
  Bytes song = make_song({48, 1, true, {{kKey, 1, 0xFF}}});
  song.resize(0x210, 0);
  song[0x10] = 0x10, song[0x11] = 0;  // part 1 at 0x100
  song[0x100] = 0x6D, song[0x101] = 200, song[0x102] = kKey, song[0x103] = 5, song[0x104] = 0xFF;
  Harness h(song, {{0, dc_voice(kDc)}});
  EXPECT_EQ(h.part(0).seq_ptr, 0x104u);
  EXPECT_EQ(h.part(0).volume, 200);
}

TEST(Sequencer, FadeOutEndsEveryPartAfter128Steps) {
  Harness h = dc_harness({{0x79, kKey, 255, 0xFF}, {0x79, kKey, 100, 0xFF}});
  h.ctx().fade_speed = 4;
  // Steps on ticks 1, 5, 9, ...: 32 by the end of the first block.
  EXPECT_GE(h.play(), 0);
  EXPECT_EQ(h.part(0).fade_steps, 32);
  EXPECT_EQ(h.part(0).eff_volume, 111 - 64);
  EXPECT_GE(h.play(), 0);
  EXPECT_GE(h.play(), 0);
  EXPECT_EQ(h.play(), -1);  // the 128th step comes on tick 509, in block 4
}

TEST(Sequencer, TieKeepsTheVoiceAndGlidesToTheNewPitch) {
  VoiceParams v;
  for (int i = 0; i < 4000; ++i) v.samples.push_back(i);
  const Bytes part = {0x6D, 255, kKey, 4, 0x74, kKey + 12, 4, 0xFF};
  Harness h(make_song({48, 1, false, {part}}), {{0, make_voice(v)}});
  const auto left = h.render_left(1);
  // No restart: the position keeps counting, now two samples per frame.
  const int g = part_gain(255);
  EXPECT_EQ(left[62], scaled(62, g));
  EXPECT_EQ(left[64], scaled(63 + 2, g));
  EXPECT_EQ(left[70], scaled(63 + 14, g));
}

}  // namespace
}  // namespace kvt::test
