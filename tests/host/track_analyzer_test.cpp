// The track view's command analyser: which dots and names the view is told
// about, and at which tick. Every song here has tempo 1 unless it says
// otherwise, so one tick is one song tick, and a part reads its first
// event while the analyser starts (tick 0).
#include <gtest/gtest.h>

#include "kvt/player.h"
#include "track_view_recorder.h"

namespace kvt::test {
namespace {

using Calls = std::vector<std::string>;

Bytes song_of(std::vector<Bytes> parts, std::uint16_t tempo = 1, std::uint8_t default_length = 48) {
  return make_song({default_length, tempo, false, std::move(parts)});
}

TEST(TrackAnalyzerKeys, PartsSharingAKeyInARowLightOneDot) {
  // Part 1 joins part 0's row and holds key 36 from tick 1 (its rest ends
  // then): its release at tick 3 leaves the dot to part 1's until tick 5.
  // Part 2 holds the same key on a row of its own, for one tick.
  FollowedSong s(song_of({{36, 4, 0xFF}, {0xFE, 0, 0x75, 2, 36, 4, 0xFF}, {36, 1, 0xFF}}));
  s.run(5);
  EXPECT_EQ(s.view.calls, (Calls{"0 set 0 36", "0 set 2 36", "0 reset 2 36"}));
  EXPECT_FALSE(s.analyzer.ended());
  s.run(1);
  EXPECT_EQ(s.view.calls.back(), "5 reset 0 36");
  EXPECT_TRUE(s.analyzer.ended());
}

TEST(TrackAnalyzerKeys, AForcedKeyShowsForFourTicksOrUpToTwentyFour) {
  // Key force 36: every note shows key 36, whatever the gate says: for 4
  // ticks when shorter than 6, else for min(24, length - 2) ticks. Notes of
  // 3 ticks follow each other on the dot without a redraw.
  const Calls calls = follow(song_of({{0xE1, 8, 0xFC, 36, 40, 5, 41, 10, 42, 30, 0xFF},  //
                                      {0xFC, 36, 40, 3, 41, 3, 0xFF}}),
                             60);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "0 set 1 36", "3 reset 0 36", "4 set 0 36", "5 reset 1 36", "12 reset 0 36",
                          "14 set 0 36", "38 reset 0 36"}));
}

TEST(TrackAnalyzerKeys, OctaveShiftsWrapIntoTheKeyboard) {
  // Shift 1 (x 12): key 5 would be -7 and shows as 5, key 30 as 18. Shift
  // -1: key 90 would be 102 and shows as 90. Shift 11 is 132, which as a
  // signed byte is -124: key 0 becomes 124 and shows as 88; key 90 becomes
  // 214, as a signed byte -42, and shows as 6.
  const Calls calls = follow(song_of({{0x7F, 1, 5, 2, 30, 2, 0x7F, 0xFF, 90, 2, 0x7F, 11, 0, 2, 90, 2, 0xFF}}), 20);
  EXPECT_EQ(calls, (Calls{"0 set 0 5", "1 reset 0 5", "1 set 0 18", "3 reset 0 18", "3 set 0 90", "5 reset 0 90",
                          "5 set 0 88", "7 reset 0 88", "7 set 0 6", "9 reset 0 6"}));
}

TEST(TrackAnalyzerKeys, ATieKeepsTheDot) {
  // Part 0: tied to the same key nothing is redrawn; tied to another key
  // the old dot goes as the new one comes. Part 1 repeats its key without a
  // tie: out and in again. Part 2's gate would release halfway, but the
  // tie holds the dot up to the next note.
  const Calls calls = follow(
      song_of({{36, 4, 0x74, 36, 4, 0x74, 38, 4, 0xFF}, {36, 4, 36, 4, 0xFF}, {0xE1, 16, 36, 8, 0x74, 36, 8, 0xFF}}),
      30);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "0 set 1 36", "0 set 2 36", "3 reset 1 36", "3 set 1 36", "7 reset 0 36",
                          "7 set 0 38", "7 reset 1 36", "11 reset 0 38", "11 reset 2 36"}));
}

TEST(TrackAnalyzerKeys, KeyAdjustEntriesShiftTheShownKeys) {
  // Slot 0: 0xCC is +12; slot 1 has no entry (0xFF); slots 2 and 3 hold
  // keys (0x00, 0x7F): no shift; slot 4: 0xB4 is -12. Both program changes
  // (0x73, 0xEA) take the entry.
  const Bytes song = with_key_table(
      song_of({{0x73, 0, 24, 2, 0x73, 1, 24, 2, 0xEA, 2, 24, 2, 0xEA, 3, 24, 2, 0xEA, 0, 24, 2, 0x73, 4, 24, 2, 0xFF}}),
      {{0, 0xCC}, {2, 0x00}, {3, 0x7F}, {4, 0xB4}});
  EXPECT_EQ(follow(song, 20),
            (Calls{"0 set 0 36", "1 reset 0 36", "1 set 0 24", "3 reset 0 24", "3 set 0 24", "5 reset 0 24",
                   "5 set 0 24", "7 reset 0 24", "7 set 0 36", "9 reset 0 36", "9 set 0 12", "11 reset 0 12"}));
}

TEST(TrackAnalyzerParts, AbsentPartsAndPartsPastTheTableNeverDraw) {
  // Part 0's data is in the image, but its entry says absent.
  Bytes song = song_of({{36, 2, 0xFF}, {38, 2, 0xFF}});
  song[0x10] = song[0x11] = 0xFF;
  EXPECT_EQ(follow(song, 10), (Calls{"0 set 1 38", "1 reset 1 38"}));
  // With the table cut to one entry, part 1 lies past it.
  Bytes cut = song_of({{36, 2, 0xFF}, {38, 2, 0xFF}});
  cut[0x07] = 0x12;
  EXPECT_EQ(follow(cut, 10), (Calls{"0 set 0 36", "1 reset 0 36"}));
}

TEST(TrackAnalyzerParts, ParagraphModeCountsSixteenBytes) {
  const Bytes song = make_song({48, 1, true, {{36, 2, 0xFF}, {38, 3, 0xFF}}});
  ASSERT_EQ(song[0x10] * 16, 0x20);
  EXPECT_EQ(follow(song, 10), (Calls{"0 set 0 36", "0 set 1 38", "1 reset 0 36", "2 reset 1 38"}));
}

TEST(TrackAnalyzerParts, APartEndsAtItsEndCommandEvenWithALoopPoint) {
  // The driver would play part 0 again from its loop point; the view stops
  // following it.
  FollowedSong s(song_of({{0x79, 36, 2, 0xFF}, {38, 6, 0xFF}}));
  s.run(5);
  EXPECT_FALSE(s.analyzer.ended());
  s.run(1);
  EXPECT_TRUE(s.analyzer.ended());
  s.run(100);
  EXPECT_EQ(s.view.calls, (Calls{"0 set 0 36", "0 set 1 38", "1 reset 0 36", "5 reset 1 38"}));
}

TEST(TrackAnalyzerFlow, RepeatsWithABreak) {
  // Three passes of 36 38, the break leaving the last after 36: 36 38 36
  // 38 36 40. Part 1 nests two repeats of two: 36 36 38 36 36 38.
  const Calls calls = follow(
      song_of({{0x60, 3, 36, 1, 0x62, 38, 1, 0x61, 40, 1, 0xFF}, {0x60, 2, 0x60, 2, 36, 1, 0x61, 38, 1, 0x61, 0xFF}}),
      10);
  EXPECT_EQ(calls, (Calls{"0 set 0 36",   "0 set 1 36", "0 reset 0 36", "0 set 0 38", "0 reset 1 36", "0 set 1 36",
                          "1 reset 0 38", "1 set 0 36", "1 reset 1 36", "1 set 1 38", "2 reset 0 36", "2 set 0 38",
                          "2 reset 1 38", "2 set 1 36", "3 reset 0 38", "3 set 0 36", "3 reset 1 36", "3 set 1 36",
                          "4 reset 0 36", "4 set 0 40", "4 reset 1 36", "4 set 1 38", "5 reset 0 40", "5 reset 1 38"}));
}

TEST(TrackAnalyzerFlow, CallsPlayAMarkedPhraseAgain) {
  // A call before any mark and a return with no call pending go on; the
  // phrase 36 38 plays through once and is then called: 36 38 36 38 40.
  const Calls calls = follow(song_of({{0x65, 0x64, 0x63, 36, 1, 38, 1, 0x64, 0x65, 40, 1, 0xFF}}), 10);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "0 reset 0 36", "0 set 0 38", "1 reset 0 38", "1 set 0 36", "2 reset 0 36",
                          "2 set 0 38", "3 reset 0 38", "3 set 0 40", "4 reset 0 40"}));
}

TEST(TrackAnalyzerFlow, AnyPartSetsTheTempo) {
  // Header tempo 2, but part 1's first command sets 3 before the clock
  // starts: the first song tick comes at tick 2 (0-based), and part 1 then
  // sets 1 for every later one. Part 0's notes (4 song ticks each) go at
  // ticks 2, 3, 4, 5 and 6, 7, 8, 9.
  const Calls calls = follow(song_of({{36, 4, 38, 4, 0xFF}, {0x71, 3, 0, 40, 1, 0x71, 1, 0, 0x75, 10, 0xFF}}, 2), 20);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "0 set 1 40", "2 reset 1 40", "5 reset 0 36", "5 set 0 38", "9 reset 0 38"}));
}

TEST(TrackAnalyzerFlow, TempoZeroCountsAsOne) {
  const Calls calls = follow(song_of({{36, 2, 0x71, 0, 0, 38, 2, 0xFF}}, 0), 10);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "1 reset 0 36", "1 set 0 38", "3 reset 0 38"}));
}

TEST(TrackAnalyzerFlow, DefaultLengths) {
  // Default length 3 from the header, then 5 (0x6A) for the note and the
  // rest without a length byte.
  FollowedSong s(song_of({{0x80 | 36, 0x6A, 5, 0x80 | 38, 0xF5, 0xFF}}, 1, 3));
  s.run(12);
  EXPECT_FALSE(s.analyzer.ended());
  s.run(1);
  EXPECT_TRUE(s.analyzer.ended());
  EXPECT_EQ(s.view.calls, (Calls{"0 set 0 36", "2 reset 0 36", "2 set 0 38", "7 reset 0 38"}));
}

TEST(TrackAnalyzerCommands, GatesShortenTheShownKey) {
  // Notes of 10 ticks at gate ratio 24/32: 7 ticks (7.5 cut); then gate 3:
  // 4; gate 20: below 1, so 1; gate 3 with a minimum of 9: 9; a minimum of
  // 12 outlasts the note, and the end releases it.
  const Calls calls = follow(song_of({{0xE1, 24,   36, 10, 0x72, 3,  0,    38, 10, 0x72, 20, 0,   40,
                                       10,   0x72, 3,  9,  41,   10, 0x72, 0,  12, 43,   10, 0xFF}}),
                             60);
  EXPECT_EQ(calls, (Calls{"0 set 0 36", "6 reset 0 36", "9 set 0 38", "13 reset 0 38", "19 set 0 40", "20 reset 0 40",
                          "29 set 0 41", "38 reset 0 41", "39 set 0 43", "49 reset 0 43"}));
}

TEST(TrackAnalyzerCommands, NamesGoToTheRowOfTheirPart) {
  // A 16-byte name on row 0; after a key group of 20 a name has no row to
  // go to; on row 3 a name of 3 bytes. Part 1's length byte -1 is an empty
  // name and steps back onto itself: 0xFF, the end.
  const Calls calls =
      follow(song_of({{0xFD, 16, 'A',  'B', 'C',  'D', 'E', 'F', 'G',  'H', 'I',  'J', 'K', 'L', 'M', 'N', 'O', 'P',
                       36,   1,  0xFE, 20,  0xFD, 2,   'x', 'y', 0xFE, 3,   0xFD, 3,   'a', 'b', 'c', 38,  1,   0xFF},
                      {0xFD, 0xFF, 40, 1}}),
             10);
  EXPECT_EQ(calls, (Calls{"0 name 0 4142434445464748494a4b4c4d4e4f50", "0 set 0 36", "0 name 1", "0 reset 0 36",
                          "0 name 3 616263", "0 set 3 38", "1 reset 3 38"}));
}

TEST(TrackAnalyzerCommands, EveryCommandTakesItsOperands) {
  // Each command with operands of 50 (a note, should one be read as an
  // event), then key 36 for 1 tick. A command that took too few operands
  // would show key 50, one that took too many key 1 or none.
  const std::vector<Bytes> commands = {{0x66, 50},
                                       {0x67, 50},
                                       {0x68, 50},
                                       {0x69, 50},
                                       {0x6A, 50},
                                       {0x6B, 50},
                                       {0x6C, 50},
                                       {0x6D, 50},
                                       {0x6E, 50},
                                       {0x6F, 50},
                                       {0x70, 50},
                                       {0x71, 50, 0},
                                       {0x72, 50, 50},
                                       {0x73, 50},
                                       {0x74},
                                       {0x76, 50, 0, 50, 50, 50, 50},
                                       {0x76, 0, 0},
                                       {0x77, 50},
                                       {0x78, 0, 3, 50, 50, 50},
                                       {0x78, 0x90, 2, 50, 50},
                                       {0x78, 16},
                                       {0x79},
                                       {0x7A, 50},
                                       {0x7B, 50},
                                       {0x7C, 50, 50, 50, 50, 50},
                                       {0x7C, 0},
                                       {0x7D, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50},
                                       {0x7E, 50, 50},
                                       {0x7F, 0},
                                       {0xE0, 50, 0, 50, 50, 50, 50},
                                       {0xE0, 0, 0},
                                       {0xE1, 50},
                                       {0xE2, 50},
                                       {0xE3, 50},
                                       {0xE4, 50},
                                       {0xE5},
                                       {0xE6, 50, 50, 50},
                                       {0xE7, 0},
                                       {0xE7, 1, 50, 3, 50, 0, 0},
                                       {0xE7, 2, 50, 3, 50, 0, 2, 0, 50, 0},
                                       {0xE8, 50, 0, 50, 50, 50, 50},
                                       {0xE8, 0, 0},
                                       {0xE9, 50, 50},
                                       {0xEA, 50},
                                       {0xEB, 50, 50, 50},
                                       {0xEC, 50},
                                       {0xF4, 50},
                                       {0xF6, 50},
                                       {0xFA, 50},
                                       {0xFB, 50, 0, 50, 50},
                                       {0xFC, 0xFF},
                                       {0xFE, 0}};
  for (const Bytes& command : commands) {
    SCOPED_TRACE(command[0]);
    Bytes part = command;
    part.insert(part.end(), {36, 1, 0xFF});
    EXPECT_EQ(follow(song_of({part}), 0), Calls{"0 set 0 36"});
  }
  EXPECT_EQ(follow(song_of({{0xFD, 2, 50, 50, 36, 1, 0xFF}}), 0), (Calls{"0 name 0 3232", "0 set 0 36"}));
  EXPECT_EQ(follow(song_of({{0xFF, 36, 1}}), 0), Calls{});
}

TEST(TrackAnalyzerCommands, MeasureInformationIsKept) {
  FollowedSong s(song_of({{0xFB, 0x80, 0x01, 3, 8, 36, 1, 0xFF}}));
  EXPECT_EQ(s.analyzer.fm_timebase, 0x180);
  EXPECT_EQ(s.analyzer.hyosi1, 3);
  EXPECT_EQ(s.analyzer.hyosi2, 8);
}

Bytes repeated(std::initializer_list<std::uint8_t> bytes, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), bytes);
  return out;
}

Bytes join(std::initializer_list<Bytes> pieces) {
  Bytes out;
  for (const Bytes& p : pieces) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(TrackAnalyzerGuards, ASeventeenthRepeatEndsThePart) {
  // Part 0 opens 17 repeats after its first note; part 1's 16 levels play.
  FollowedSong s(song_of({join({{36, 1}, repeated({0x60, 2}, 17), {38, 1, 0xFF}}),
                          join({repeated({0x60, 1}, 16), {40, 1}, repeated({0x61}, 16), {0xFF}})}));
  s.run(1);
  EXPECT_EQ(s.view.calls, (Calls{"0 set 0 36", "0 set 1 40", "0 reset 0 36", "0 reset 1 40"}));
  EXPECT_TRUE(s.analyzer.ended());
}

TEST(TrackAnalyzerGuards, ACloseOrBreakWithoutARepeatEndsThePart) {
  // Part 2 closes one repeat more than it opened.
  FollowedSong s(
      song_of({{36, 1, 0x61, 38, 1, 0xFF}, {36, 1, 0x62, 38, 1, 0xFF}, {0x60, 1, 40, 1, 0x61, 0x61, 41, 1, 0xFF}}));
  s.run(1);
  EXPECT_EQ(s.view.calls,
            (Calls{"0 set 0 36", "0 set 1 36", "0 set 2 40", "0 reset 0 36", "0 reset 1 36", "0 reset 2 40"}));
  EXPECT_TRUE(s.analyzer.ended());
}

TEST(TrackAnalyzerGuards, AReadPastTheImageEndEndsThePart) {
  // Part 1, the last in the image, lacks the high byte of its tempo: the
  // tempo stays 1, so part 0 releases at tick 3.
  EXPECT_EQ(follow(song_of({{36, 4, 0xFF}, {38, 1, 0x71, 2}}), 10),
            (Calls{"0 set 0 36", "0 set 1 38", "0 reset 1 38", "3 reset 0 36"}));
  // A name is cut at the image's end; a note lacks its length byte.
  FollowedSong name(song_of({{0xFD, 10, 'a', 'b'}}));
  EXPECT_EQ(name.view.calls, Calls{"0 name 0 6162"});
  EXPECT_TRUE(name.analyzer.ended());
  FollowedSong note(song_of({{36}}));
  EXPECT_EQ(note.view.calls, Calls{});
  EXPECT_TRUE(note.analyzer.ended());
  // The release looks for a tie after the note: there is no byte there.
  FollowedSong release(song_of({{0xE1, 16, 36, 4}}));
  release.run(1);
  EXPECT_FALSE(release.analyzer.ended());
  release.run(1);
  EXPECT_EQ(release.view.calls, (Calls{"0 set 0 36", "1 reset 0 36"}));
  EXPECT_TRUE(release.analyzer.ended());
}

TEST(TrackAnalyzerGuards, RowsAndKeysPastTheKeyboardShowNothing) {
  // On rows 17 and 255 neither the name nor the keys show, yet the part is
  // followed: its note on row 16 does.
  EXPECT_EQ(follow(song_of({{0xFE, 17, 0xFD, 1, 'a', 36, 1, 0xFE, 16, 38, 1, 0xFE, 255, 40, 1, 0xFF}}), 10),
            (Calls{"0 set 16 38", "1 reset 16 38"}));
  // A forced key of 100 has no dot either.
  EXPECT_EQ(follow(song_of({{0xFC, 100, 36, 1, 0xFC, 0xFF, 38, 1, 0xFF}}), 10), (Calls{"0 set 0 38", "1 reset 0 38"}));
}

TEST(TrackAnalyzerGuards, AKeyTableRunningPastTheImageCountsAsNone) {
  Bytes song = with_key_table(song_of({{0x73, 0, 24, 1, 0xFF}}), {{0, 0xCC}});
  EXPECT_EQ(follow(song, 0), Calls{"0 set 0 36"});
  song.pop_back();
  EXPECT_EQ(follow(song, 0), Calls{"0 set 0 24"});
}

TEST(TrackAnalyzerGuards, AReadThatNeverReachesANoteEndsOnlyItsPart) {
  // Part 0 calls itself; part 1's empty repeats would take 256^4 passes.
  FollowedSong s(song_of(
      {{0x63, 0x65, 36, 1, 0xFF}, join({repeated({0x60, 0}, 4), repeated({0x61}, 4), {36, 1, 0xFF}}), {38, 2, 0xFF}}));
  s.run(1);
  EXPECT_FALSE(s.analyzer.ended());
  s.run(1);
  EXPECT_EQ(s.view.calls, (Calls{"0 set 2 38", "1 reset 2 38"}));
  EXPECT_TRUE(s.analyzer.ended());
}

// What the C export's callbacks receive.
struct ExportCalls {
  int ticks = 0;
  Calls lines;

  static void set_dot(void* c, int row, int key) {
    auto* self = static_cast<ExportCalls*>(c);
    self->lines.push_back(std::to_string(self->ticks) + " set " + std::to_string(row) + " " + std::to_string(key));
  }
  static void reset_dot(void* c, int row, int key) {
    auto* self = static_cast<ExportCalls*>(c);
    self->lines.push_back(std::to_string(self->ticks) + " reset " + std::to_string(row) + " " + std::to_string(key));
  }
  static void name(void* c, int row, const unsigned char* bytes, std::size_t length) {
    auto* self = static_cast<ExportCalls*>(c);
    self->lines.push_back(std::to_string(self->ticks) + " name " + std::to_string(row) + " " +
                          std::string(reinterpret_cast<const char*>(bytes), length));
  }
};

TEST(TrackAnalyzerExport, FollowsItsOwnCopyOfTheSong) {
  ExportCalls got;
  const kvt_view_calls calls{&got, ExportCalls::set_dot, ExportCalls::reset_dot, ExportCalls::name};
  // A title after the part, so that rests written over the caller's copy
  // would go on for ever.
  Bytes song = make_song({48, 1, false, {{0xFD, 2, 'h', 'i', 36, 2, 0xFF}}}, {{}, Bytes{2, 'a', 'b'}});
  kvt_analyzer* analyzer = kvt_analyzer_new(song.data(), song.size(), &calls);
  ASSERT_NE(analyzer, nullptr);
  song.assign(song.size(), 0x75);
  EXPECT_EQ(kvt_analyzer_tick(analyzer), 0);
  ++got.ticks;
  EXPECT_EQ(kvt_analyzer_tick(analyzer), 1);
  EXPECT_EQ(kvt_analyzer_tick(analyzer), 1);
  EXPECT_EQ(got.lines, (Calls{"0 name 0 hi", "0 set 0 36", "1 reset 0 36"}));
  kvt_analyzer_delete(analyzer);
}

TEST(TrackAnalyzerExport, RefusesWhatIsNotSongData) {
  const Bytes good = song_of({{36, 2, 0xFF}});
  Bytes not_song = good;
  not_song[3] = 'X';
  Bytes damaged = good;
  damaged[0x0B] = 0xF0;  // the title block lies past the end
  damaged[0x0C] = 0x00;
  EXPECT_EQ(kvt_analyzer_new(not_song.data(), not_song.size(), nullptr), nullptr);
  EXPECT_EQ(kvt_analyzer_new(damaged.data(), damaged.size(), nullptr), nullptr);
  EXPECT_EQ(kvt_analyzer_new(good.data(), 15, nullptr), nullptr);
  EXPECT_EQ(kvt_analyzer_new(nullptr, 0, nullptr), nullptr);
  // Without callbacks it still runs to the song's end.
  kvt_analyzer* analyzer = kvt_analyzer_new(good.data(), good.size(), nullptr);
  ASSERT_NE(analyzer, nullptr);
  EXPECT_EQ(kvt_analyzer_tick(analyzer), 0);
  EXPECT_EQ(kvt_analyzer_tick(analyzer), 1);
  kvt_analyzer_delete(analyzer);
  EXPECT_EQ(kvt_analyzer_tick(nullptr), 1);
  kvt_analyzer_delete(nullptr);
}

}  // namespace
}  // namespace kvt::test
