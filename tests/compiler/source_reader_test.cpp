// Reading MML source: which lines belong to a part, comments, macros,
// numbers and note lengths. Each case is a source text and what it reads.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "error_report.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : c(std::make_unique<Compiler>()) {
    c->text = log;
    c->text_size = sizeof log;
  }

  // The command text part `letter` of `group` reads, with blanks dropped.
  std::string text_of(const std::string& source, char letter, char group = '0') {
    load_source(*c, source);
    parttop(*c, letter, group);
    std::string read;
    for (char ch = nextstr(*c); ch != kEndMark; ch = nextstr(*c)) {
      if (ch == '$') {
        call_macro(*c);
        continue;
      }
      read += ch;
    }
    return read;
  }

  // The error code reading raises, or -1.
  template <typename Read>
  int error_of(Read read) {
    try {
      read();
    } catch (const CompileError& e) {
      return e.ecode;
    }
    return -1;
  }

  std::unique_ptr<Compiler> c;
  char log[1024] = {};
};

TEST_F(ReaderTest, LineHeadersNamePartsAndGroups) {
  const std::string src = "A cde\n1AB fg\n[1AB]C ab\nB\tr\n";
  EXPECT_EQ(text_of(src, 'A'), "cde");
  EXPECT_EQ(text_of(src, 'A', '1'), "fgab");
  EXPECT_EQ(text_of(src, 'B'), "fgr");
  EXPECT_EQ(text_of(src, 'B', '1'), "ab");
  EXPECT_EQ(text_of(src, 'C'), "ab");
  EXPECT_EQ(text_of(src, 'D'), "");
}

TEST_F(ReaderTest, AHeaderEndsByConsumingItsLastCharacter) {
  EXPECT_EQ(text_of("Acde\n", 'A'), "de");
}

TEST_F(ReaderTest, PercentTogglesMuteAndEndsTheHeader) {
  EXPECT_EQ(text_of("%A cde\n", 'A'), "");
  EXPECT_EQ(c->cmf1, 1);
  EXPECT_EQ(text_of("A% cde\n", 'A'), "cde");
  EXPECT_EQ(c->cmf1, 1);
}

TEST_F(ReaderTest, QuestionLinesReachDefaultPartsAndPartsNamedBefore) {
  const std::string src = "1A c\n? d\n";
  EXPECT_EQ(text_of(src, 'A', '1'), "cd");
  EXPECT_EQ(text_of(src, 'B'), "d");
  EXPECT_EQ(text_of(src, 'B', '2'), "");
  EXPECT_EQ(text_of("? d\n", 'T'), "");
}

TEST_F(ReaderTest, CommentsOfEveryKind) {
  EXPECT_EQ(text_of("A c ; d e\nA f\n", 'A'), "cf");
  EXPECT_EQ(text_of("A c\n/ region\nA d\n* end\nA e\n", 'A'), "ce");
  EXPECT_EQ(text_of("A c /* over\nA two */ d\n", 'A'), "cd");
  load_source(*c, "A c\n/ region\nA d\n* end\nA e\n");
  parttop(*c, 'A', '0');
  EXPECT_EQ(nextstr(*c), 'c');
  EXPECT_EQ(nextstr(*c), 'e');
  EXPECT_EQ(c->linenum, 5);  // the region's lines are counted as well
}

TEST_F(ReaderTest, SpecialLines) {
  const std::string src = "T 150,96\n0T 1\n$a cd\nV 1,piano\n";
  EXPECT_EQ(text_of(src, 'T'), "150,961");
  EXPECT_EQ(text_of(src, 'V'), "1,piano");
  EXPECT_EQ(text_of(src, 'A'), "");
}

TEST_F(ReaderTest, MacrosExpandInPlaceOneLevelDeep) {
  load_source(*c, "$a cd;x\n$B e\nA f$ag $B\n");
  define_macros(*c);
  EXPECT_NE(std::string(log).find("2 Macro is defined.\n"), std::string::npos);
  parttop(*c, 'A', '0');
  std::string read;
  for (char ch = nextstr(*c); ch != kEndMark; ch = nextstr(*c)) {
    if (ch == '$') {
      call_macro(*c);
    } else {
      read += ch;
    }
  }
  EXPECT_EQ(read, "fcdge");
}

TEST_F(ReaderTest, MacroErrors) {
  EXPECT_EQ(error_of([&] { text_of("A $z\n", 'A'); }), 5);
  EXPECT_EQ(error_of([&] { text_of("A $#\n", 'A'); }), 6);
  load_source(*c, "$# c\n");
  EXPECT_EQ(error_of([&] { define_macros(*c); }), 6);
  load_source(*c, "$a $b\n$b c\nA $a\n");
  define_macros(*c);
  parttop(*c, 'A', '0');
  EXPECT_EQ(error_of([&] {
              for (char ch = nextstr(*c); ch != kEndMark; ch = nextstr(*c)) {
                if (ch == '$') call_macro(*c);
              }
            }),
            9);
}

TEST_F(ReaderTest, Numbers) {
  auto number = [&](const std::string& text, int lower, int upper, int nflag) {
    load_source(*c, "A " + text + "\n");
    parttop(*c, 'A', '0');
    return getdeci(*c, lower, upper, nflag);
  };
  EXPECT_EQ(number("120", 0, 255, 0), 120);
  EXPECT_EQ(number(",-63", -127, 127, 0), -63);
  EXPECT_EQ(number("- 5", -127, 127, 1), kOmitted);
  load_source(*c, "A ,x\n");
  parttop(*c, 'A', '0');
  ++c->mmlp;  // at the comma
  EXPECT_EQ(getdeci(*c, 0, 9, 1), kOmitted);
  EXPECT_EQ(*c->mmlp, 'x');  // a comma right at the entry stays consumed
  EXPECT_EQ(number(",x", 0, 9, 1), kOmitted);
  EXPECT_EQ(*c->mmlp, ',');  // after a blank it does not
  EXPECT_EQ(error_of([&] { number("256", 0, 255, 0); }), 3);
  EXPECT_EQ(error_of([&] { number("123456", -32768, 32767, 0); }), 3);
  EXPECT_EQ(error_of([&] { number("x", 0, 9, 0); }), 2);
}

TEST_F(ReaderTest, NumberErrorsMarkEveryDigit) {
  load_source(*c, "A o4 c1000\n");
  parttop(*c, 'A', '0');
  c->mmlp += 5;  // at "1000"
  EXPECT_EQ(error_of([&] { getdeci(*c, 0, 255, 0); }), 3);
  EXPECT_NE(std::string(log).find(" Line = 1 , Part:0A\nA o4 c1000\n      ~~~~"), std::string::npos) << log;
}

TEST_F(ReaderTest, NoteLengths) {
  auto length = [&](const std::string& text) {
    load_source(*c, "A " + text + "\n");
    parttop(*c, 'A', '0');
    c->zlen = 192;
    c->slen = 48;
    return getol(*c);
  };
  EXPECT_EQ(length("4"), 48);
  EXPECT_EQ(length("4.."), 48 + 24 + 12);
  EXPECT_EQ(length("8-16"), 24 - 12);
  EXPECT_EQ(length("^"), 96);
  EXPECT_EQ(length("."), 72);
  EXPECT_EQ(length("~30^2"), 30 + 96);
  EXPECT_EQ(length("0"), 0);
  EXPECT_EQ(length(",5"), kOmitted);
  EXPECT_EQ(*c->mmlp, ',');
  EXPECT_EQ(length("r"), kOmitted);
  EXPECT_EQ(error_of([&] { length("~300"); }), 3);
  EXPECT_EQ(error_of([&] { length("16-4"); }), 3);
}

}  // namespace
}  // namespace kvt::compiler
