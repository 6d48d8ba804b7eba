// Texts from the libraries made showable: UTF-8 stays as it is, Shift-JIS
// (as CP932) becomes UTF-8, line by line.
#include <gtest/gtest.h>

#include "display_text.h"

namespace kvt::test {
namespace {

using frontend::to_shift_jis;
using frontend::to_utf8;

TEST(FrontendText, Utf8PassesAsItIs) {
  EXPECT_EQ(to_utf8(""), "");
  EXPECT_EQ(to_utf8("Title : None\n"), "Title : None\n");
  EXPECT_EQ(to_utf8("Caf\xC3\xA9 \xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89\n"),
            "Caf\xC3\xA9 \xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89\n");
}

TEST(FrontendText, ShiftJisBecomesUtf8) {
  EXPECT_EQ(to_utf8("\x82\xA0"), "\xE3\x81\x82");                                          // a hiragana letter
  EXPECT_EQ(to_utf8("\x83\x65\x83\x58\x83\x67"), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");  // katakana
  EXPECT_EQ(to_utf8("\xBA\xB0\xC4"), "\xEF\xBD\xBA\xEF\xBD\xB0\xEF\xBE\x84");              // half-width katakana
  EXPECT_EQ(to_utf8("\x87\x40"), "\xE2\x91\xA0");                                          // a CP932 extension
  EXPECT_EQ(to_utf8("ERROR! \x8D\x5C\x95\xB6\x83\x47\x83\x89\x81\x5B\n"),
            "ERROR! \xE6\xA7\x8B\xE6\x96\x87\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n");
}

TEST(FrontendText, EachLineIsReadOnItsOwn) {
  // A report in Shift-JIS may hold a title that a file held in UTF-8.
  EXPECT_EQ(to_utf8("\x82\xA0\nCaf\xC3\xA9\n\x82\xA0\n"), "\xE3\x81\x82\nCaf\xC3\xA9\n\xE3\x81\x82\n");
  // Within one line, one byte that is no UTF-8 makes the whole line Shift-JIS.
  EXPECT_EQ(to_utf8("Caf\xC3\xA9 \x82\xA0\n"), "Caf\xEF\xBE\x83\xEF\xBD\xA9 \xE3\x81\x82\n");
}

TEST(FrontendText, BytesThatAreNoCharacterShowAsReplacementMarks) {
  EXPECT_EQ(to_utf8("a\xFFz"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(to_utf8("ab\x82"), "ab\xEF\xBF\xBD") << "a lead byte at the end";
}

TEST(FrontendText, TypedTextBecomesShiftJisWhenItCan) {
  EXPECT_EQ(to_shift_jis(""), "");
  EXPECT_EQ(to_shift_jis("album 2"), "album 2");
  EXPECT_EQ(to_shift_jis("\xE3\x81\x82"), "\x82\xA0");                              // a hiragana letter
  EXPECT_EQ(to_shift_jis("\xEF\xBD\xBA\xEF\xBD\xB0\xEF\xBE\x84"), "\xBA\xB0\xC4");  // half-width katakana
  EXPECT_EQ(to_shift_jis("\xE2\x91\xA0"), "\x87\x40");                              // a CP932 extension
  EXPECT_EQ(to_shift_jis("(\xE6\xA0\xAA)zov"), "(\x8A\x94)zov");
  const std::string name = "\xEF\xBC\xAB\xEF\xBC\xB6\xEF\xBC\xB4\xEF\xBC\x99\xEF\xBC\x97";  // full-width KVT97
  EXPECT_EQ(to_shift_jis(name), "\x82\x6A\x82\x75\x82\x73\x82\x58\x82\x56");
  EXPECT_EQ(to_utf8(to_shift_jis(name)), name);
}

TEST(FrontendText, TextWithoutShiftJisStaysUtf8) {
  // One character beyond CP932 keeps the whole text as it was typed.
  EXPECT_EQ(to_shift_jis("\xE3\x81\x82 \xF0\x9F\x8E\xB5"), "\xE3\x81\x82 \xF0\x9F\x8E\xB5");
  EXPECT_EQ(to_shift_jis("Caf\xC3\xA9 \xE3\x81\x82"), "Caf\xC3\xA9 \xE3\x81\x82");
  EXPECT_EQ(to_shift_jis("\x82\xA0"), "\x82\xA0") << "bytes that are no UTF-8 pass as they are";
}

}  // namespace
}  // namespace kvt::test
