// Controllers, pitch bend and system-exclusive messages reaching the parts.
#include <algorithm>

#include "convert_fixture.h"

namespace kvt::test {
namespace {

using Controllers = ConvertTest;

bool holds(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// A note on channel `channel` from 0 to 48 with `events` at tick 24.
Bytes note_with(int channel, std::vector<SmfEvent> at_24) {
  std::vector<SmfEvent> events{note_on(0, channel, 60)};
  for (std::size_t i = 0; i < at_24.size(); ++i) {
    at_24[i].delta = i == 0 ? 24 : 0;
    events.push_back(at_24[i]);
  }
  events.push_back(note_off(24, channel, 60));
  return smf_file(0, 48, {smf_track(events)});
}

Bytes roland(int high, int mid, int low, std::initializer_list<int> data) {
  Bytes b{0x41, 0x10, 0x42, 0x12, static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(mid),
          static_cast<std::uint8_t>(low)};
  for (int d : data) b.push_back(static_cast<std::uint8_t>(d));
  b.push_back(0x00);  // checksum, not tested
  b.push_back(0xF7);
  return b;
}

// How a sounding note of the default length ends when a command comes at
// tick 24: the first half, a tie, the command, the second half, and the
// closing rest.
Bytes tied(const Bytes& command) { return cat({{0xA4, 0x74}, command, {0xA4, 0x75, 0xFF, 0xFF}}); }

// The end of `p`, as long as `like`.
Bytes tail_like(const Bytes& p, const Bytes& like) {
  return Bytes(p.end() - static_cast<long>(std::min(like.size(), p.size())), p.end());
}

TEST_F(Controllers, VolumeWhileANoteSoundsTiesTheNoteOverTheNewGain) {
  ASSERT_EQ(convert(note_with(1, {control(0, 1, 7, 100)})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B}));
}

TEST_F(Controllers, ATieWithNothingAfterItBecomesACallMark) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), control(24, 1, 7, 100), note_off(0, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes expected{0xA4, 0x63, 0xE9, 0x21, 0x4B, 0x75, 0xFF, 0xFF};
  EXPECT_EQ(tail_like(part(1), expected), expected);
}

TEST_F(Controllers, PanModulationAndBendReachTheSoundingNote) {
  ASSERT_EQ(convert(note_with(1, {control(0, 1, 10, 0)})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0x70, 0xC1})), tied({0x70, 0xC1}));
  ASSERT_EQ(convert(note_with(1, {control(0, 1, 1, 55)})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE4, 0x05})), tied({0xE4, 0x05}));
  ASSERT_EQ(convert(note_with(1, {bend(0, 1, 96)})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0x7E, 0xF3, 0x00})), tied({0x7E, 0xF3, 0x00}));
}

TEST_F(Controllers, TuningReachesSilentPartsToo) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(12, 1, 60), control(12, 1, 101, 0),
                                                 control(0, 1, 100, 2), control(0, 1, 6, 66)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes expected{0x24, 0x0C, 0x75, 0x0C, 0x7E, 0xF5, 0x01, 0x75, 0xFF, 0xFF};
  EXPECT_EQ(tail_like(part(1), expected), expected);
}

TEST_F(Controllers, ExpressionAlsoReachesPartsThatJustEnded) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(24, 1, 60), control(12, 1, 11, 100),
                                                 control(30, 1, 11, 90)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes p = part(1);
  EXPECT_TRUE(holds(p, {0x75, 0x0C, 0xE9})) << "12 ticks after its note-off";
  EXPECT_FALSE(holds(p, {0x75, 0x1E, 0xE9})) << "not 42 ticks after";
}

TEST_F(Controllers, MasterVolumeRefreshesEveryPart) {
  ASSERT_EQ(convert(note_with(1, {sysex(0, {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x64, 0xF7})})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x94, 0x47})), tied({0xE9, 0x94, 0x47}));
}

TEST_F(Controllers, GsPartParametersFindTheirChannel) {
  ASSERT_EQ(convert(note_with(1, {sysex(0, roland(0x40, 0x11, 0x19, {100}))})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B}));
  const Bytes melodic_10 = smf_file(0, 48, {smf_track({sysex(0, roland(0x40, 0x10, 0x15, {0})), note_on(0, 10, 60),
                                                       sysex(24, roland(0x40, 0x10, 0x19, {100})), note_off(24, 10, 60)})});
  ASSERT_EQ(convert(melodic_10), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B})) << "block 0 is channel 10";
  ASSERT_EQ(convert(note_with(11, {sysex(0, roland(0x40, 0x1A, 0x19, {100}))})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B}));
}

TEST_F(Controllers, GsDrumMapMakesADrumChannel) {
  const Bytes midi = smf_file(0, 48, {smf_track({sysex(0, roland(0x40, 0x11, 0x15, {1})), note_on(0, 1, 36),
                                                 note_on(24, 1, 36)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_TRUE(holds(part(1), {0x72, 0x02, 0x01, 0x73}));
}

TEST_F(Controllers, GsBulkDumpsSetReceiveChannelsAndValues) {
  // From offset 0 of block 1: offset 10 names receive channel 3 (value 2),
  // offset 16 is the volume.
  Bytes values(2 * 9, 0);
  values[2 * 5] = 0;  // offset 10: channel 3
  values[2 * 5 + 1] = 2;
  values[2 * 8] = 6;  // offset 16: volume 100 = 0x64
  values[2 * 8 + 1] = 4;
  const int address = 224 + 0x90;  // block 1, offset 0
  const Bytes dump = cat({{0x41, 0x10, 0x42, 0x12, 0x48, static_cast<std::uint8_t>(address / 128),
                           static_cast<std::uint8_t>(address % 128)},
                          values,
                          {0x00, 0xF7}});
  ASSERT_EQ(convert(note_with(3, {sysex(0, dump)})), 0) << messages;
  EXPECT_NE(messages.find("Bulk-Dump Block 1 = channel 3 \n"), std::string::npos) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B}));
}

TEST_F(Controllers, LongSystemExclusiveMessagesAreSkippedWhole) {
  Bytes body(1100, 0x10);
  body.back() = 0xF7;
  ASSERT_EQ(convert(note_with(1, {sysex(0, body), control(0, 1, 7, 100)})), 0) << messages;
  EXPECT_EQ(tail_like(part(1), tied({0xE9, 0x21, 0x4B})), tied({0xE9, 0x21, 0x4B}));
}

TEST_F(Controllers, ALongSystemExclusiveMessageMayOpenATrack) {
  // Its length (200) takes two bytes, the first of which looks like a status.
  Bytes body(200, 0x10);
  body.back() = 0xF7;
  const Bytes midi = smf_file(1, 48, {smf_track({}), smf_track({sysex(0, body), note_on(48, 1, 60), note_off(48, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 2);
  EXPECT_EQ(part(1), cat({format1_opening(), {0x30, 0x6D, 0xF2, 0xE9, 0xE7, 0x5A, 0x73, 0x00, 0x78, 0x10, 0x77, 0x00,
                                              0x76, 0x04, 0x00, 0x01, 0x00, 0x01, 0x00, 0xFE, 0x00, 0x24, 0x30, 0x75,
                                              0xFF, 0xFF}}));
}

}  // namespace
}  // namespace kvt::test
