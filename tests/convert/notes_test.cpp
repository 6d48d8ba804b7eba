// Notes spread over parts: chords, layers, the sustain pedal, drum hits,
// and what each note writes.
#include <algorithm>

#include "convert_fixture.h"

namespace kvt::test {
namespace {

using Notes = ConvertTest;

Bytes tail(const Bytes& p, std::size_t n) { return Bytes(p.end() - static_cast<long>(std::min(n, p.size())), p.end()); }

TEST_F(Notes, AChordTakesAPartPerNoteAndRestedPartsAreReused) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_on(0, 1, 64), note_on(0, 1, 67),
                                                 note_off(48, 1, 64), note_on(13, 1, 65), note_off(35, 1, 60),
                                                 note_off(0, 1, 65), note_off(0, 1, 67)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(part_count(), 1 + 3);
  // The second part played 64, rested 13 ticks, then took 65.
  EXPECT_EQ(tail(part(2), 9), (Bytes{0x28, 0x30, 0x75, 0x0D, 0x29, 0x23, 0x75, 0xFF, 0xFF}));
}

TEST_F(Notes, ANoteSoonAfterARestTakesANewPart) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60), note_off(24, 1, 60), note_on(12, 1, 62),
                                                 note_off(24, 1, 62)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(part_count(), 1 + 2);
}

// A part made by a program change or a controller has just been released:
// a note within 12 ticks takes another part.
TEST_F(Notes, APartMadeBeforeTheFirstNoteWaitsLikeAReleasedOne) {
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track({program(0, 1, 0), note_on(12, 1, 60), note_off(48, 1, 60)})})), 0)
      << messages;
  ASSERT_EQ(part_count(), 1 + 2);
  EXPECT_EQ(part(1), cat({channel_opening(1, "Piano 1"), {0xFF, 0xFF}})) << "a rest all along";
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track({control(0, 1, 7, 90), note_on(13, 1, 60), note_off(48, 1, 60)})})), 0)
      << messages;
  EXPECT_EQ(part_count(), 1 + 1);
}

TEST_F(Notes, TwoLayersPlayOnTwoPartsAndEndTogether) {
  const Bytes midi = smf_file(0, 48, {smf_track({program(0, 1, 1), note_on(13, 1, 60), note_off(48, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 1 + 2);
  EXPECT_EQ(tail(part(1), 5), (Bytes{0x24, 0x30, 0x75, 0xFF, 0xFF}));
  EXPECT_EQ(tail(part(2), 5), (Bytes{0x24, 0x30, 0x75, 0xFF, 0xFF}));
  const Bytes second = part(2), detune{0x77, 0x05};
  EXPECT_NE(std::search(second.begin(), second.end(), detune.begin(), detune.end()), second.end());
}

TEST_F(Notes, TheBankChoosesAProgramVariantAtTheProgramChange) {
  const Bytes midi = smf_file(0, 48, {smf_track({control(0, 1, 0, 8), program(0, 1, 3), note_on(0, 1, 60),
                                                 note_off(24, 1, 60), control(0, 2, 0, 9), program(0, 2, 3),
                                                 note_on(0, 2, 60), note_off(24, 2, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  // Voice records in voice order: "high" (slot 1, used second), "kick"
  // (slot 0: the first note, bank 8, played the variant).
  EXPECT_EQ(Bytes(song.begin() + 1040, song.begin() + 1052),
            (Bytes{1, 'h', 'i', 'g', 'h', 0, 0, 'k', 'i', 'c', 'k', 0}));
}

TEST_F(Notes, ThePedalHoldsNotesUntilItIsReleased) {
  const Bytes midi = smf_file(0, 48, {smf_track({control(0, 1, 64, 127), note_on(13, 1, 60), note_off(24, 1, 60),
                                                 control(72, 1, 64, 0)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(tail(part(1), 5), (Bytes{0x24, 0x60, 0x75, 0xFF, 0xFF}));
}

TEST_F(Notes, ThePedalHoldsAtMostSevenNotes) {
  std::vector<SmfEvent> events{control(0, 1, 64, 127)};
  for (int i = 0; i < 8; ++i) {
    events.push_back(note_on(i == 0 ? 13 : 20, 1, 40 + i));
    events.push_back(note_off(4, 1, 40 + i));
  }
  events.push_back(control(50, 1, 64, 0));
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track(events)})), 0) << messages;
  // The first note (key 40, from 13) is let go when the eighth is held, at
  // 185; the others sound until the pedal comes up at 235.
  EXPECT_EQ(part_count(), 1 + 8);
  EXPECT_EQ(tail(part(1), 5), (Bytes{0x28, 0xAC, 0x75, 0xFF, 0xFF}));
  EXPECT_EQ(tail(part(8), 5), (Bytes{0x2F, 0x36, 0x75, 0xFF, 0xFF})) << "from 181";
}

TEST_F(Notes, OnePedalPressOfManyNotesStillLetsTheOldestGo) {
  // 200 short notes under one press: seven are held at any time, so no
  // note sounds longer than eight notes' time (160 ticks, written without
  // a tie).
  std::vector<SmfEvent> events{control(0, 1, 64, 127)};
  for (int i = 0; i < 200; ++i) {
    events.push_back(note_on(i == 0 ? 13 : 16, 1, 60));
    events.push_back(note_off(4, 1, 60));
  }
  events.push_back(control(20, 1, 64, 0));
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track(events)})), 0) << messages;
  EXPECT_EQ(part_count(), 1 + 8) << "seven held and one sounding";
  for (int n = 1; n < part_count(); ++n) {
    const Bytes p = part(n);
    EXPECT_EQ(std::count(p.begin(), p.end(), 0x74), 0) << "a tie in part " << n;
  }
}

TEST_F(Notes, VelocityBecomesAVolumeCode) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 1, 60, 40), note_off(24, 1, 60), note_on(24, 1, 60, 127),
                                                 note_off(24, 1, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  const Bytes p = part(1);
  const Bytes soft{0x6D, 0xC8}, loud{0x6D, 0xFF};
  EXPECT_NE(std::search(p.begin(), p.end(), soft.begin(), soft.end()), p.end());
  EXPECT_NE(std::search(p.begin(), p.end(), loud.begin(), loud.end()), p.end());
}

TEST_F(Notes, DrumHitsGetAPartPerKey) {
  const Bytes midi = smf_file(0, 48, {smf_track({note_on(0, 10, 36), note_off(10, 10, 36), note_on(38, 10, 36),
                                                 note_on(0, 10, 38), note_on(48, 10, 70)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  ASSERT_EQ(part_count(), 1 + 2) << "key 70 has no drum voice";
  Bytes opening = channel_opening(10, "");
  opening.pop_back();
  const Bytes kick_setup{0x72, 0x02, 0x01, 0x73, 0x00, 0xFC, 0x18, 0x7F, 0x00, 0x78, 0x11, 0x70, 0x00};
  const Bytes kick_values{0x6D, 0xF2, 0xE9, 0x8A, 0x40};
  EXPECT_EQ(part(1), cat({opening, kick_setup, kick_values, {0x24, 0x30, 0x24, 0xFF, 0xFF}}));
  const Bytes snare = part(2);
  EXPECT_EQ(Bytes(snare.begin(), snare.begin() + 6), (Bytes{0xFE, 0x09, 0x7F, 0x01, 0xE3, 0x0A}));
  EXPECT_EQ(tail(snare, 3), (Bytes{0x26, 0xFF, 0xFF}));
  EXPECT_EQ(song[3855 + 1], 0xFF) << "drum slots keep the voice's key byte";
}

TEST_F(Notes, Format0NamesChannelsFormat1MarksTracks) {
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track({program(0, 10, 16), note_on(0, 10, 36)})})), 0) << messages;
  const Bytes kit = part(1);
  EXPECT_EQ(std::string(kit.begin() + 4, kit.begin() + 20), "Power Set       ");

  ASSERT_EQ(convert(smf_file(1, 48, {smf_track({}), smf_track({note_on(0, 3, 60), note_off(48, 3, 60)})})), 0);
  EXPECT_EQ(tail(part(1), 7), (Bytes{0xFE, 0x00, 0x24, 0x30, 0x75, 0xFF, 0xFF}));
}

TEST_F(Notes, TooManyNotesAtOnceStop) {
  std::vector<SmfEvent> events;
  for (int key = 20; key < 20 + 64; ++key) events.push_back(note_on(0, 2, key));
  EXPECT_EQ(convert(smf_file(0, 48, {smf_track(events)})), 1);
  EXPECT_NE(messages.find("Too many chord! Memory over. \nTrack=0 , Channel = 2 \n"), std::string::npos) << messages;
}

TEST_F(Notes, MoreThan240PartsStop) {
  std::vector<SmfEvent> events;
  for (int channel = 1; channel <= 16; ++channel)
    if (channel != 10)
      for (int key = 30; key < 30 + 17; ++key) events.push_back(note_on(0, channel, key));
  EXPECT_EQ(convert(smf_file(0, 48, {smf_track(events)})), 1);
  EXPECT_NE(messages.find("ERROR! Too many channels in KVT file!\n(more than 256)\n"), std::string::npos) << messages;
}

}  // namespace
}  // namespace kvt::test
