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
  EXPECT_EQ(rest_lengths(part(0)), (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2}));
}

TEST_F(Timing, ThreeEqualLengthsInARowBecomeTheDefault) {
  // Notes and rests of 30 ticks, taking turns.
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(30, 1, 60), note_on(30, 1, 60),
                                                 note_off(30, 1, 60), note_on(30, 1, 60), note_off(30, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 2);
  const Bytes p = part(1);
  const Bytes tail{0x24, 0x1E, 0x75, 0x1E, 0x6A, 0x1E, 0xA4, 0xF5, 0xA4, 0xFF};
  ASSERT_GE(p.size(), tail.size());
  EXPECT_EQ(Bytes(p.end() - static_cast<long>(tail.size()), p.end()), tail);
}

TEST_F(Timing, LongRestsLoopAndLongNotesTie) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(48, 1, 60), note_on(2000, 1, 60),
                                                 note_off(500, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes p = part(1);
  const Bytes tail{0x24, 0x30, 0x75, 0xC0, 0x60, 0x09, 0x75, 0xC0, 0x61, 0x75, 0x50,
                   0x24, 0xC0, 0x74, 0x24, 0xC0, 0x74, 0x24, 0x74, 0xFF};
  ASSERT_GE(p.size(), tail.size());
  EXPECT_EQ(Bytes(p.end() - static_cast<long>(tail.size()), p.end()), tail);
  EXPECT_EQ(part_ticks(1), 48 + 2000 + 500);
}

TEST_F(Timing, EveryPartLastsAsLongAsTheSong) {
  const Bytes midi = smf_file(1, 96, {smf_track({tempo(0, 400000)}, false),
                                      smf_track({note_on(10, 1, 60), note_off(100, 1, 60), meta(1000, 0x2F, {})}, false),
                                      smf_track({note_on(0, 2, 50)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  for (int n = 0; n < part_count(); ++n) EXPECT_EQ(part_ticks(n), (10 + 100 + 1000) / 2) << n;
}

}  // namespace
}  // namespace kvt::test
