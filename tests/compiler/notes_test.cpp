// Notes, rests, lengths, accents, ties, muting and the choice of voices,
// checked as the bytes of the compiled part.
#include "mml_fixture.h"

namespace kvt::test {
namespace {

using NotesTest = MmlTest;

TEST_F(NotesTest, NoteLettersAccidentalsAndLengths) {
  // Voice 0 plays unless "@" chooses another; notes without a length take
  // the default one and are a single byte.
  EXPECT_EQ(first_part(compile("A cdefgab\n")),
            (Bytes{0xEA, 0, 0xA4, 0xA6, 0xA8, 0xA9, 0xAB, 0xAD, 0xAF, 0xFF}));
  EXPECT_EQ(first_part(compile("A c+ d- e4 f8. g~5 a4.. b^ >c8-16 <n36,8\n")),
            (Bytes{0xEA, 0, 0xA5, 0xA5, 0x28, 48, 0x29, 36, 0x2B, 5, 0x2D, 84, 0x2F, 96, 0x30, 12, 0x24, 24, 0xFF}));
}

TEST_F(NotesTest, LongNotesAndRestsArePieced) {
  EXPECT_EQ(first_part(compile("A l1 c^^^~24\n")),
            (Bytes{0x6A, 192, 0xEA, 0, 0x24, 0xFF, 0x74, 0x24, 0xFF, 0x74, 0x24, 90, 0xFF}));
  const Compiled rest = compile("A l1 r^^^~24\n");
  EXPECT_EQ(first_part(rest), (Bytes{0x6A, 192, 0x75, 0xFF, 0x75, 0xFF, 0x75, 90, 0xFF}));
  EXPECT_NE(rest.text.find("Fin. 0A Part - Step     600 (      0)  "), std::string::npos);
}

TEST_F(NotesTest, ZeroLengthNotesWriteNothing) {
  // A length byte 0 would sound for 65536 ticks.
  EXPECT_EQ(first_part(compile("A c~0 d\n")), (Bytes{0xEA, 0, 0xA6, 0xFF}));
}

TEST_F(NotesTest, AccentsWrapTheNote) {
  EXPECT_EQ(first_part(compile("A c,3 d4,-2 e,+5\n")),
            (Bytes{0xEA, 0, 0x6E, 6, 0xA4, 0x6F, 6, 0x6F, 4, 0x26, 48, 0x6E, 4, 0x6E, 10, 0xA8, 0x6F, 10, 0xFF}));
}

TEST_F(NotesTest, TiesKeepTheVoiceAndFollowOnlyNotes) {
  EXPECT_EQ(first_part(compile("A c&d\n")), (Bytes{0xEA, 0, 0xA4, 0x74, 0xA6, 0xFF}));
  // A tie as the first command: the tied note emits no voice, the next one does.
  EXPECT_EQ(first_part(compile("A &c d\n")), (Bytes{0x74, 0xA4, 0xEA, 0, 0xA6, 0xFF}));
}

TEST_F(NotesTest, MutedNotesCountNothingButUpperCaseRestsStay) {
  const Compiled c = compile("A %1 c4 R4 r4 %0 d\n");
  EXPECT_EQ(first_part(c), (Bytes{0xEA, 0, 0x75, 48, 0xA6, 0xFF}));
  EXPECT_NE(c.text.find("Fin. 0A Part - Step      96 (      0)  "), std::string::npos);
  // "%" in a line header toggles from that line on, for every part.
  EXPECT_EQ(first_part(compile("A c\n%B d\nA e\n% \nA f\n")), (Bytes{0xEA, 0, 0xA4, 0xA9, 0xFF}));
}

TEST_F(NotesTest, OctavesReachEveryNote) {
  EXPECT_EQ(first_part(compile("A o1 c o8 b o1 < > d\n")), (Bytes{0xEA, 0, 0x80, 0x80 + 95, 0x82, 0xFF}));
}

TEST_F(NotesTest, VoiceSlotsAreGivenInOrderOfFirstUse) {
  const Compiled c = compile("A @1 c @0 d @1 e\n");
  EXPECT_EQ(first_part(c), (Bytes{0x73, 0, 0xA4, 0x73, 1, 0xA6, 0x73, 0, 0xA8, 0xFF}));
  EXPECT_EQ(c.object[0x09], 2);  // voices used
  // Records go in voice order: voice 0 (slot 1), then voice 1 (slot 0).
  const unsigned first = c.object[0x90] | (c.object[0x91] << 8), second = c.object[0x92] | (c.object[0x93] << 8);
  EXPECT_EQ(Bytes(c.object.begin() + first, c.object.begin() + first + 6), (Bytes{1, 's', 'i', 'n', 'e', 0}));
  EXPECT_EQ(Bytes(c.object.begin() + second, c.object.begin() + second + 5), (Bytes{0, 's', 'a', 'w', 0}));
  EXPECT_EQ(c.object[0x94], 0xFF);
  const unsigned keys = c.object[0x0D] | (c.object[0x0E] << 8);
  EXPECT_EQ(keys, second + 6);  // one byte left between
  EXPECT_EQ(c.object[keys], 64);
  EXPECT_EQ(c.object[keys + 1], 60);
  EXPECT_EQ(c.object[keys + 2], 0xFF);
  EXPECT_EQ(keys + 256, c.object.size());
}

TEST_F(NotesTest, AnAtThatNoNoteTakesUpIsLeftHarmless) {
  // The voice stays the same, so no note fills the "@"; the next "@"
  // and the end of the part turn it into "volume up by 0".
  EXPECT_EQ(first_part(compile("A c @0 d @0 e\n")), (Bytes{0xEA, 0, 0xA4, 0x6E, 0, 0xA6, 0x6E, 0, 0xA8, 0xFF}));
}

TEST_F(NotesTest, MultiSampleVoicesChooseSplitsByKey) {
  const Compiled c = compile("A @10 c o3 c\n");
  // Key 60 takes the upper split (voice 1, +3, an octave down), key 48 the
  // lower one (voice 0, -2, an octave up).
  EXPECT_EQ(first_part(c), (Bytes{0x73, 0, 0xE9, 0, 0x83, 0x98, 0xEA, 1, 0xE9, 0, 0x7E, 0xA4, 0xFF}));
  const unsigned keys = c.object[0x0D] | (c.object[0x0E] << 8);
  EXPECT_EQ(c.object[keys], 0xCC);
  EXPECT_EQ(c.object[keys + 1], 0xB4);
}

TEST_F(NotesTest, SplitsCanBeForced) {
  EXPECT_EQ(first_part(compile("A @10 GL0 o5 c\n")), (Bytes{0x73, 0, 0xE9, 0, 0x7E, 0xBC, 0xFF}));
  EXPECT_EQ(first_part(compile("A @10 GK40 c\n")), (Bytes{0x73, 0, 0xE9, 0, 0x83, 0x98, 0xFF}));
  // "GCur" keeps the split in use; "GOff" returns to choosing by key.
  EXPECT_EQ(first_part(compile("A @10 c GCur o2 c GOff c\n")),
            (Bytes{0x73, 0, 0xE9, 0, 0x83, 0x98, 0x80, 0xEA, 1, 0xE9, 0, 0x7E, 0x98, 0xFF}));
}

TEST_F(NotesTest, VoiceLinesDefineVoicesOfTheSource) {
  const Compiled c = compile("V5, piano.kvw \\30\nV6,organ\nA @5 c @6 d\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_NE(c.text.find("2 Voice setting.\n"), std::string::npos);
  EXPECT_EQ(first_part(c), (Bytes{0x73, 0, 0xA4, 0x73, 1, 0xA6, 0xFF}));
  const unsigned first = c.object[0x90] | (c.object[0x91] << 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&c.object[first + 1])), "piano.kvw");
  const unsigned keys = c.object[0x0D] | (c.object[0x0E] << 8);
  EXPECT_EQ(c.object[keys], 30);
  EXPECT_EQ(c.object[keys + 1], 0xFF);
}

TEST_F(NotesTest, ASemicolonOnAVoiceLineIsNoComment) {
  // Right after the file name it is part of the name ...
  const Compiled c = compile("V5,ABC;x\nA @5 c\n");
  ASSERT_EQ(c.result, 0) << c.text;
  const unsigned record = c.object[0x90] | (c.object[0x91] << 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&c.object[record + 1])), "ABC;x");
  // ... and after a blank it is neither a name nor a key.
  EXPECT_EQ(compile("V5,ABC ;x\nA @5 c\n").result, 1);
}

}  // namespace
}  // namespace kvt::test
