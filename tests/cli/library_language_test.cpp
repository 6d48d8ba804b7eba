// The libraries' texts through the command: in English from the message
// catalogue unless the locale is Japanese, and compile errors also in the
// form editors read.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

CommandRun run_under(const std::vector<std::string>& args, const std::vector<std::string>& locale) {
  RunOptions options;
  options.locale = locale;
  return run_kvt(args, options);
}

std::string compile_report(const std::string& file, const std::string& error) {
  return "KVT Music Macro Language Compiler .. " + file + "\n\nSet $ Part .... 0 Macro is defined.\n0 Voice setting.\n" +
         error + " Line = 1 , Part:0A\nA @0 x\n     ~\n";
}

const std::vector<std::vector<std::string>> kEnglishLocales = {
    {}, {"LC_ALL=C"}, {"LANG=C.UTF-8"}, {"LANG=POSIX"}, {"LANG=en_US.UTF-8"}, {"LANG=de_DE.UTF-8"},
    {"LANG=xx_YY.UTF-8"}, {"LANG=C", "LANGUAGE=ja"}, {"LC_ALL=C", "LANG=ja_JP.UTF-8"}, {"LANG=ja_JP.UTF-8", "LANGUAGE=en"}};
const std::vector<std::vector<std::string>> kJapaneseLocales = {
    {"LANG=ja_JP.UTF-8"}, {"LC_ALL=ja_JP.UTF-8"}, {"LC_MESSAGES=ja_JP.eucJP"}, {"LANG=en_US.UTF-8", "LANGUAGE=ja:en"}};

TEST(LibraryLanguage, CompileErrorsFollowTheLocale) {
  const ScratchDir dir;
  dir.write("bad.mml", text("A @0 x\n"));
  const std::string file = dir / "bad.mml";
  for (const auto& locale : kEnglishLocales) {
    SCOPED_TRACE(::testing::PrintToString(locale));
    const CommandRun run = run_under({"mml", file}, locale);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, file + ":1:6: error: Syntax error.\n" + compile_report(file, "ERROR! Syntax error."));
  }
  for (const auto& locale : kJapaneseLocales) {
    SCOPED_TRACE(::testing::PrintToString(locale));
    const CommandRun run = run_under({"mml", file}, locale);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, file + ":1:6: error: 構文エラーです.\n" + compile_report(file, "ERROR! 構文エラーです."));
  }
}

TEST(LibraryLanguage, ConverterMessagesInEnglishStayAsWritten) {
  const ScratchDir dir;
  dir.write("bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96});
  const std::string expected = ".mid->.kvt Converter Ver1.56 ... '" + (dir / "bad.mid") +
                               "'\n\nERROR! This format is not supported. (2)\n";
  for (const auto& locale : {std::vector<std::string>{"LC_ALL=C"}, {"LANG=ja_JP.UTF-8"}}) {
    const CommandRun run = run_under({"mid2kvt", dir / "bad.mid"}, locale);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, expected) << locale[0];
  }
}

// The place an editor jumps to is where the mark points, in characters.
TEST(LibraryLanguage, EditorLinesNameTheMarkedPlace) {
  const ScratchDir dir;
  const std::string sjis_comment = "/*\x82\xA0\x82\xA2*/", utf8_comment = "/*\xE3\x81\x82\xE3\x81\x84*/";
  const struct {
    std::string source, expected;
  } cases[] = {
      {"A @0 x\n", ":1:6: error: Syntax error."},
      {"; song\nA v300\n", ":2:4: error: Number out of range."},
      {"A\t@0\tx\n", ":1:6: error: Syntax error."},
      {"A @0 c " + sjis_comment + " x\n", ":1:15: error: Syntax error."},
      {"A @0 c " + utf8_comment + " x\n", ":1:15: error: Syntax error."},
      {"$A c$B\n$B d\nA @0 $A\n", ":1:5: error: Nesting Macro"},  // the report says line 3, where the macro is used
      {"A @0 c\r\nA d\r\nA e E", ":3:8: error: Syntax error."},  // found past the end, where the report marks it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    dir.write("t.mml", text(c.source));
    const CommandRun run = run_under({"mml", dir / "t.mml"}, {"LC_ALL=C"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), (dir / "t.mml") + c.expected);
  }
  dir.write("t.mml", text("A @0 c\n"));
  const CommandRun missing_config = run_under({"mml", dir / "t.mml", "-c", dir / "none.cfb"}, {"LC_ALL=C"});
  EXPECT_EQ(missing_config.status, 1);
  EXPECT_EQ(missing_config.err.find(": error:"), std::string::npos) << "no place to name";
  EXPECT_NE(missing_config.err.find("ERROR! File not found.\n"), std::string::npos) << missing_config.err;
}

}  // namespace
}  // namespace kvt::test
