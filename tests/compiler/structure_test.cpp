// Loops, easy calls, the loop point, waits and sends; which parts stay;
// the title, header and tables of the whole object; the progress text.
#include "mml_fixture.h"

namespace kvt::test {
namespace {

using StructureTest = MmlTest;

constexpr std::uint8_t kVoiceAndVolume[] = {0xEA, 0, 0xE9, 0, 0x80};  // forced again after a loop start

Bytes with_forced_voice(std::initializer_list<std::uint8_t> before, std::initializer_list<std::uint8_t> after) {
  Bytes b(before);
  b.insert(b.end(), std::begin(kVoiceAndVolume), std::end(kVoiceAndVolume));
  b.insert(b.end(), after);
  return b;
}

unsigned word(const Compiled& c, std::size_t at) { return c.object[at] | (c.object[at + 1] << 8); }

TEST_F(StructureTest, LoopsRepeatAndCountTheirSteps) {
  const Compiled c = compile("A [c:d]3\n");
  EXPECT_EQ(first_part(c), with_forced_voice({0x60, 3}, {0xA4, 0x62, 0xA6, 0x61, 0xFF}));
  EXPECT_NE(c.text.find("Fin. 0A Part - Step     240 (      0)  "), std::string::npos);  // c 3 times, d twice
  const Compiled nested = compile("A [[c]2 d]3\n");
  EXPECT_NE(nested.text.find("Step     432 "), std::string::npos);
}

TEST_F(StructureTest, EasyCallsPlayASectionAgain) {
  const Compiled c = compile("A S c4 T U U\n");
  EXPECT_EQ(first_part(c), with_forced_voice({0x63}, {0x24, 48, 0x64, 0x65, 0x65, 0xFF}));
  EXPECT_NE(c.text.find("Step     144 "), std::string::npos);
}

TEST_F(StructureTest, TheLoopPoint) {
  const Compiled c = compile("A c L d\n");
  EXPECT_EQ(first_part(c), with_forced_voice({0xEA, 0, 0xA4, 0x79}, {0xA6, 0xFF}));
  EXPECT_NE(c.text.find("Step      96 (     48)  "), std::string::npos);
  // Nothing after it: no loop point is left.
  EXPECT_EQ(first_part(compile("A c L\n")), (Bytes{0xEA, 0, 0xA4, 0xE5, 0xFF}));
}

TEST_F(StructureTest, PartsWithoutStepsAreLeftOutUnlessTheySetTheSong) {
  const Compiled c = compile("A v100\nB t100\nC #R0\nD c\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(word(c, 0x10), 0xFFFFu);
  EXPECT_EQ(part_bytes(c, 1, 4), (Bytes{0x71, 34, 0, 0xFF}));
  EXPECT_EQ(part_bytes(c, 2, 3), (Bytes{0x7C, 0, 0xFF}));
  EXPECT_EQ(part_bytes(c, 3, 4), (Bytes{0xEA, 0, 0xA4, 0xFF}));
  EXPECT_EQ(word(c, 0x18), 0xFFFFu);
  // The left-out part's bytes stay where they were written.
  EXPECT_EQ(word(c, 0x12), 0x291u + 2);
}

TEST_F(StructureTest, GroupsFillTheirOwnRowOfThePartTable) {
  const Compiled c = compile("1A c\n3P d\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(word(c, 0x10 + 2 * 16), 0x291u);
  EXPECT_EQ(word(c, 0x10 + 2 * 63), 0x295u);
  EXPECT_NE(c.text.find("Fin. 1A Part - Step      48 (      0)    Fin. 3P Part - "), std::string::npos);
}

TEST_F(StructureTest, AWaitBecomesARestUntilItsSend) {
  const Compiled c = compile("A w c\nB l1 r r~108 sA\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(part_bytes(c, 0, 11), (Bytes{0x60, 1, 0x75, 0xFF, 0x61, 0x75, 45, 0xEA, 0, 0xA4, 0xFF}));
  // Part B moved up behind the rest.
  EXPECT_EQ(part_bytes(c, 1, 6), (Bytes{0x6A, 192, 0xF5, 0x75, 108, 0xFF}));
  EXPECT_NE(c.text.find("Fin. 0A Part - Step unknown,w is found.  "), std::string::npos);
  EXPECT_NE(c.text.find("Analyze sync-command ... \nWait 0A Part - Step     348 (      0)    \n"), std::string::npos);
}

TEST_F(StructureTest, LongWaitsNestTheirRests) {
  const Compiled c = compile("A w c\nB l1 [r]255 [r]109 r~112 sA\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(part_bytes(c, 0, 19), (Bytes{0x60, 1, 0x60, 0xFF, 0x75, 0xFF, 0x61, 0x61, 0x60, 19, 0x75, 0xFF, 0x61,
                                         0x75, 130, 0xEA, 0, 0xA4, 0xFF}));
}

TEST_F(StructureTest, ASendAtTheWaitsStepInsertsNothing) {
  const Compiled c = compile("A w c\nB sA d\n");
  EXPECT_EQ(part_bytes(c, 0, 4), (Bytes{0xEA, 0, 0xA4, 0xFF}));
}

TEST_F(StructureTest, OneSendReleasesEveryPartItNames) {
  const Compiled c = compile("A w c w d\nB w e\nC r4 s\"AB\" r4 sA\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(part_bytes(c, 0, 7), (Bytes{0x75, 48, 0xEA, 0, 0xA4, 0xA6, 0xFF}));
  EXPECT_EQ(part_bytes(c, 1, 6), (Bytes{0x75, 48, 0xEA, 0, 0xA8, 0xFF}));
  // A second wait needs a second send.
  EXPECT_EQ(compile("A w c w d\nB w e\nC r4 s\"AB\"\n").result, 1);
}

TEST_F(StructureTest, SendTargetsAGroupOrAList) {
  EXPECT_EQ(compile("1A w c\n1B w d\nA r s1?\n").result, 0);
  EXPECT_EQ(compile("1A w c\n2b w d\nA r s\"1a 2B\"\n").result, 0);
  EXPECT_EQ(compile("1A w c\nA r sB\n").result, 1);
}

TEST_F(StructureTest, AWaitInALeftOutPartIsDropped) {
  // The rest would have gone into the next part.
  const Compiled c = compile("A v100 w\nB r4 sA c\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(c.text.find("Analyze"), std::string::npos);
  EXPECT_EQ(part_bytes(c, 1, 5), (Bytes{0x75, 48, 0xEA, 0, 0xA4}));
}

TEST_F(StructureTest, TheWholeObject) {
  const Compiled c = compile("!\"Hi\"\nA c\n");
  ASSERT_EQ(c.result, 0) << c.text;
  Bytes expected(0x3A3, 0xFF);
  const std::uint8_t header[] = {'K', 'V', 'T', 'M', 48, 28, 0, 0x90, 0, 1, 0xFF, 0x90, 0x02, 0xA3, 0x02, 0xFF, 0x96, 0x02};
  std::copy(std::begin(header), std::end(header), expected.begin());
  expected[0x90] = 0x9C;
  expected[0x91] = 0x02;
  const std::uint8_t body[] = {3, 'H', 'i', '"', 0xFF, 0xFF, 0xEA, 0, 0xA4, 0xFF, 0xFF, 0xFF, 0, 's', 'i', 'n', 'e', 0, 0xFF, 60};
  std::copy(std::begin(body), std::end(body), expected.begin() + 0x290);
  EXPECT_EQ(c.object, expected);
}

TEST_F(StructureTest, TitleLines) {
  const Compiled empty = compile("!\nA c\n");
  EXPECT_NE(empty.text.find("Set ! part .... Skipped.\n"), std::string::npos);
  EXPECT_EQ(word(empty, 0x0B), 0x290u);
  EXPECT_EQ(empty.object[0x290], 0xFF);
  EXPECT_EQ(word(empty, 0x10), 0x292u);
  const Compiled none = compile("A c\n");
  EXPECT_EQ(none.text.find("Set !"), std::string::npos);
  EXPECT_EQ(word(none, 0x0B), 0xFFFFu);
  EXPECT_EQ(word(none, 0x10), 0x291u);
  const Compiled bare = compile("!  Night Song  \nA c\n");
  EXPECT_EQ(Bytes(bare.object.begin() + 0x290, bare.object.begin() + 0x29E),
            (Bytes{12, 'N', 'i', 'g', 'h', 't', ' ', 'S', 'o', 'n', 'g', ' ', ' ', 0xFF}));
  // One opening quote is skipped; a closing one is text like any other.
  const Compiled quoted = compile("!\"My Song\"\nA c\n");
  EXPECT_EQ(Bytes(quoted.object.begin() + 0x290, quoted.object.begin() + 0x29A),
            (Bytes{8, 'M', 'y', ' ', 'S', 'o', 'n', 'g', '"', 0xFF}));
}

TEST_F(StructureTest, TheProgressText) {
  const Compiled c = compile("$Q cde\nA $Q\nB d\nC e4\n");
  ASSERT_EQ(c.result, 0) << c.text;
  EXPECT_EQ(c.text, "KVT Music Macro Language Compiler .. " + (dir / "song.mml").string() +
                        "\n\n"
                        "Set $ Part .... 1 Macro is defined.\n"
                        "0 Voice setting.\n"
                        "Fin. 0A Part - Step     144 (      0)    Fin. 0B Part - Step      48 (      0)  \n"
                        "Fin. 0C Part - Step      48 (      0)    \n"
                        "Compile Completed. Object data is " +
                        std::to_string(c.object.size()) + " bytes.\n");
}

}  // namespace
}  // namespace kvt::test
