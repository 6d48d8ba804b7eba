// The commands that set the part's sound, checked as the bytes they emit.
// Each case's part ends with a rest so that it has steps and stays.
#include "mml_fixture.h"

namespace kvt::test {
namespace {

struct Case {
  const char* text;
  Bytes bytes;  // before the closing rest
};

class CommandsTest : public MmlTest {
 protected:
  void expect_all(const std::vector<Case>& cases) {
    for (const Case& k : cases) {
      SCOPED_TRACE(k.text);
      const Compiled c = compile(std::string("A ") + k.text + " r\n");
      ASSERT_EQ(c.result, 0) << c.text;
      Bytes expected = k.bytes;
      expected.insert(expected.end(), {0xF5, 0xFF});
      EXPECT_EQ(part_bytes(c, 0, expected.size()), expected);
    }
  }
};

TEST_F(CommandsTest, LengthVolumeAndBalance) {
  expect_all({
      {"l16", {0x6A, 12}},
      {"l4.", {0x6A, 72}},
      {"v0 v135 V100", {0x6D, 0xF1, 0x6D, 0xFF, 0x6D, 185}},
      {"_v10 v125 _v-10 v20", {0x6D, 0xFF, 0x6D, 5}},
      {") )5 ( (3", {0x6E, 2, 0x6E, 10, 0x6F, 2, 0x6F, 6}},
      {"} }4 { {3", {0x68, 1, 0x68, 4, 0x68, 0xFF, 0x68, 0xFD}},
      {"p-127 p63", {0x70, 0x81, 0x70, 63}},
      {"_-12 __5", {0x66, 0xF4, 0x67, 5}},
      {"C1 A16 H1 O2 m8 Q32", {0x6B, 1, 0x6C, 16, 0xE2, 1, 0x7F, 2, 0x7A, 8, 0xE1, 32}},
  });
}

TEST_F(CommandsTest, TempoGateDetuneAndVibrato) {
  expect_all({
      {"t120", {0x71, 28, 0}},
      {"q3 q3,4", {0x72, 3, 1, 0x72, 3, 4}},
      {"D127 D128 D-129", {0x77, 0x7F, 0x7E, 0x80, 0x00, 0x7E, 0x7F, 0xFF}},
      {"M0", {0x76, 0, 0}},
      {"M10,2,3,-100", {0x76, 10, 0, 2, 3, 0x9C, 0xFF}},
      {"I5,1,2,300", {0xE8, 5, 0, 1, 2, 0x2C, 0x01}},
  });
}

TEST_F(CommandsTest, TempoFollowsTheWholeNoteLength) {
  const Compiled c = compile("T150,96\nA t120 r\n");
  EXPECT_EQ(part_bytes(c, 0, 3), (Bytes{0x71, 57, 0}));  // 165600 / (120 x 24)
  EXPECT_EQ(c.object[0x04], 24);
  EXPECT_EQ(c.object[0x05], 46);  // 165600 / (150 x 24)
}

TEST_F(CommandsTest, TextNeedsAKeyGroup) {
  expect_all({
      {"K3 N\"Bass\"", {0xFE, 3, 0xFD, 4, 'B', 'a', 's', 's'}},
      {"K16 N Lead\nA", {0xFE, 16, 0xFD, 4, 'L', 'e', 'a', 'd'}},
  });
}

TEST_F(CommandsTest, PitchSwing) {
  expect_all({
      {"P0", {0xE0, 0, 0}},
      // (2^29 - 2^28) / 10 steps, period twice the length
      {"P12,~10", {0xE0, 20, 0, 0x99, 0x99, 0x99, 0x01}},
      // (2^27 - 2^28) / 48, truncated toward zero
      {"P-12", {0xE0, 96, 0, 0x56, 0x55, 0xD5, 0xFF}},
  });
}

TEST_F(CommandsTest, EnvelopeControl) {
  expect_all({
      {"EN", {0x78, 0x14}},
      {"EN2", {0x78, 0x12}},
      {"EAR10,20", {0x78, 1, 2, 10, 20}},
      {"E5,,7", {0x78, 0, 3, 5, 0x80, 7}},
      {"EDRB5 ESL-3 ESLB4 E R R9", {0x78, 4, 1, 5, 0x78, 3, 1, 0xFD, 0x78, 5, 1, 4, 0x78, 7, 1, 9}},
      {"ETL1,2", {0x78, 8, 2, 1, 2}},
  });
}

TEST_F(CommandsTest, VolumeSequences) {
  expect_all({
      {"F0", {0xE7, 0}},
      // +5 over a quarter note, -20 over an eighth: slopes in 1/256 per step
      {"F2,10,4,5,8,-20", {0xE7, 2, 10, 48, 26, 0, 24, 0x2B, 0xFF, 0}},
  });
}

TEST_F(CommandsTest, EffectUnits) {
  expect_all({
      {"#0 #1 #k5", {0x7B, 0, 0x7B, 1, 0x69, 5}},
      {"#B1,1,-1", {0xE6, 1, 1, 0xFF}},
      {"#G1,2,3,4,100,5,6,7,3", {0x7D, 1, 2, 3, 4, 100, 0, 5, 6, 7, 3}},
      {"#R0 #R100,50,200,1", {0x7C, 0, 0x7C, 100, 50, 200, 0, 1}},
      {"#C1,0,2,100,3,1",
       {0xE6, 1, 0, 2, 0x7D, 1, 0, 100, 0, 10, 0, 2, 144, 1, 1, 0x7D, 1, 1, 90, 0, 25, 0, 2, 98, 1, 2,
        0x7D, 1, 2, 85, 0, 35, 0, 4, 106, 1, 0}},
  });
}

}  // namespace
}  // namespace kvt::test
