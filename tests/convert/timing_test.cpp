// MIDI time into song ticks, and how lengths are written.
#include "convert_fixture.h"

namespace kvt::test {
namespace {

using Timing = ConvertTest;

// The length bytes that follow the conductor's rests.
std::vector<int> rest_lengths(const Bytes& part) {
  std::vector<int> lengths;
  for (std::size_t i = 0; i + 1 < part.size(); ++i)
    if (part[i] == 0x75) lengths.push_back(part[i + 1]);
  return lengths;
}

TEST_F(Timing, RoundingIsCarriedNotAccumulated) {
  std::vector<SmfEvent> events;
  for (int i = 0; i < 8; ++i) events.push_back(tempo(15, 500000));
  ASSERT_EQ(convert(smf_file(0, 480, {smf_track(events)})), 0) << messages;
  EXPECT_EQ(rest_lengths(part(0)), (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2, 255}));
}

TEST_F(Timing, ThreeEqualLengthsInARowBecomeTheDefault) {
  // Notes and rests of 30 ticks, taking turns.
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(30, 1, 60), note_on(30, 1, 60),
                                                 note_off(30, 1, 60), note_on(30, 1, 60), note_off(30, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 2);
  const Bytes p = part(1);
  const Bytes tail{0x24, 0x1E, 0x75, 0x1E, 0x6A, 0x1E, 0xA4, 0xF5, 0xA4, 0x75, 0xFF, 0xFF};
  ASSERT_GE(p.size(), tail.size());
  EXPECT_EQ(Bytes(p.end() - static_cast<long>(tail.size()), p.end()), tail);
}

TEST_F(Timing, LongRestsLoopAndLongNotesTie) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(48, 1, 60), note_on(2000, 1, 60),
                                                 note_off(500, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes p = part(1);
  const Bytes tail{0x24, 0x30, 0x75, 0xC0, 0x60, 0x09, 0x75, 0xC0, 0x61, 0x75, 0x50,
                   0x24, 0xC0, 0x74, 0x24, 0xC0, 0x74, 0x24, 0x74, 0x75, 0xFF, 0xFF};
  ASSERT_GE(p.size(), tail.size());
  EXPECT_EQ(Bytes(p.end() - static_cast<long>(tail.size()), p.end()), tail);
  EXPECT_EQ(part_ticks(1), 48 + 2000 + 500 + 255);
}

TEST_F(Timing, EveryPartRingsOutFor255TicksAfterItsLastEvent) {
  const Bytes midi = smf_file(1, 96, {smf_track({tempo(0, 400000)}, false),
                                      smf_track({note_on(10, 1, 60), note_off(100, 1, 60), meta(1000, 0x2F, {})}, false),
                                      smf_track({note_on(0, 2, 50)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 3);
  EXPECT_EQ(part_ticks(0), 255) << "the conductor";
  EXPECT_EQ(part_ticks(1), (10 + 100) / 2 + 255) << "a rest after the last note";
  EXPECT_EQ(part_ticks(2), 255) << "a note with no end sounds 255 ticks";
}

// Frames per second and ticks per frame: 120 bpm, so 96 song ticks a second.
TEST_F(Timing, SmpteTimeRunsAtAFixedTempo) {
  // 30 frames of 4 ticks: a note of 120 ticks lasts one second; tempo
  // changes are checked but write nothing.
  const Bytes midi = smf_file(0, 0xE204, {smf_track({tempo(0, 1000000), note_on(0, 1, 60), note_off(120, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(part(0), (Bytes{0x7F, 0x01, 0xE3, 0x0A, 0x75, 0xFF, 0xFF}));
  const Bytes p = part(1);
  EXPECT_EQ(Bytes(p.end() - 5, p.end()), (Bytes{0x24, 0x60, 0x75, 0xFF, 0xFF}));
  EXPECT_EQ(convert(smf_file(0, 0xE204, {smf_track({meta(0, 0x51, {1, 2})})})), 1);
  EXPECT_NE(messages.find("abnormal code 'FF 51 2'\n"), std::string::npos) << messages;
}

TEST_F(Timing, SmpteRoundingIsExactForAnOddTickRate) {
  // 25 frames of one tick: every tick is 3.84 song ticks.
  std::vector<SmfEvent> events;
  for (int i = 0; i < 8; ++i) events.push_back(meta(1, 0x58, {4, 2, 24, 8}));
  ASSERT_EQ(convert(smf_file(0, 0xE701, {smf_track(events)})), 0) << messages;
  // Lengths 4, 4, 4 (the third makes 4 the default: 6A 04 F5), 3, then
  // four of the default.
  const Bytes m{0xFB, 0x30, 0x00, 0x04, 0x04};
  EXPECT_EQ(part(0), cat({{0x7F, 0x01, 0xE3, 0x0A, 0x75, 0x04}, m, {0x75, 0x04}, m, {0x6A, 0x04, 0xF5}, m,
                          {0x75, 0x03}, m, {0xF5}, m, {0xF5}, m, {0xF5}, m, {0xF5}, m, {0x75, 0xFF, 0xFF}}));
}

}  // namespace
}  // namespace kvt::test
