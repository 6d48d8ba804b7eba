// Every error of a compilation: its message, the line and part it names,
// the marked source line, and that no song data file is written.
#include <iconv.h>

#include <filesystem>
#include <fstream>

#include "kvt/kvtc.h"
#include "mml_fixture.h"

namespace kvt::test {
namespace {

// The compiler's Japanese messages are Shift-JIS.
std::string sjis(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string in = utf8, out(utf8.size() * 2, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t left = in.size(), room = out.size();
  iconv(cd, &from, &left, &to, &room);
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

const std::string kSyntax = sjis("構文エラーです.");
const std::string kRange = sjis("数値が指定範囲を越えています.");
const std::string kNotFound = "ERROR! " + sjis("ファイルが見つかりません.\n");

class ErrorsTest : public MmlTest {
 protected:
  // The error text of compiling `source`, checking that it failed cleanly.
  std::string error_of(const std::string& source) {
    const Compiled c = compile(source);
    EXPECT_EQ(c.result, 1);
    EXPECT_TRUE(c.object.empty());
    EXPECT_EQ(c.text.find("Compile Completed"), std::string::npos);
    return error_text(c);
  }
};

TEST_F(ErrorsTest, SyntaxAndRangeErrorsMarkTheirPlace) {
  EXPECT_EQ(error_of("A c x\n"), "ERROR! " + kSyntax + " Line = 1 , Part:0A\nA c x\n    ~");
  // A number is marked digit by digit.
  EXPECT_EQ(error_of("; song\nA v300\n"), "ERROR! " + kRange + " Line = 2 , Part:0A\nA v300\n   ~~~");
  EXPECT_EQ(error_of("1B l\n"), "ERROR! " + kSyntax + " Line = 1 , Part:1B\n1B l\n   ~");
  EXPECT_EQ(error_of("A [c]1\n"), "ERROR! " + kRange + " Line = 1 , Part:0A\nA [c]1\n     ~");
  EXPECT_EQ(error_of("A [c]\n"), "ERROR! " + kSyntax + " Line = 1 , Part:0A\nA [c]\n     ~");
}

TEST_F(ErrorsTest, AnEnvelopeNameNeedsAValue) {
  EXPECT_EQ(error_of("A ERR d\n"), "ERROR! " + kSyntax + " Line = 1 , Part:0A\nA ERR d\n      ~");
  // Cut off by the end of the source: the mark stands on the end itself,
  // past the last line's break.
  EXPECT_EQ(error_of("A c E"), "ERROR! " + kSyntax + " Line = 2 , Part:0A\nA c E\n       ~");
  EXPECT_EQ(error_of("A c ER"), "ERROR! " + kSyntax + " Line = 2 , Part:0A\nA c ER\n        ~");
  EXPECT_EQ(error_of("A c ERR"), "ERROR! " + kSyntax + " Line = 2 , Part:0A\nA c ERR\n         ~");
}

TEST_F(ErrorsTest, SpecialLinesHaveNoGroup) {
  EXPECT_EQ(error_of("T5,192\nA c\n"), "ERROR! " + kRange + " Line = 1 , Part: T\nT5,192\n ~");
  EXPECT_EQ(error_of("T120\nA c\n").substr(0, 40), ("ERROR! " + kSyntax + " Line = 1 , Part: T").substr(0, 40));
  EXPECT_EQ(error_of("V1\n"), "ERROR! " + kSyntax + " Line = 1 , Part: V\nV1\n  ~");
}

TEST_F(ErrorsTest, MacroErrors) {
  EXPECT_EQ(error_of("A $Z\n"),
            "ERROR! " + sjis("未定義のマクロが使用されました.") + " Line = 1 , Part:0A\nA $Z\n   ~");
  EXPECT_EQ(error_of("A $!\n"), "ERROR! " + sjis("マクロ名が異常です.") + " Line = 1 , Part:0A\nA $!\n   ~");
  // Inside a body the mark shows the body's own line, under the inner call.
  EXPECT_EQ(error_of("$A c$B\n$B d\nA $A\n"), "ERROR! Nesting Macro  Line = 3 , Part:0A\n$A c$B\n    ~");
}

TEST_F(ErrorsTest, EachStructuralError) {
  const struct {
    const char* source;
    const char* text;
  } cases[] = {
      {"A o8b>c\n", "ERROR! Out of octave  Line = 1 , Part:0A\nA o8b>c\n      ~"},
      {"A [[[[[[[[[[[[[[[[[c\n", "ERROR! Too Many loops  Line = 1 , Part:0A\nA [[[[[[[[[[[[[[[[[c\n                  ~"},
      {"A c]2\n", "ERROR!  ] without [  Line = 1 , Part:0A\nA c]2\n   ~"},
      {"A c:\n", "ERROR!  : without [  Line = 1 , Part:0A\nA c:\n   ~"},
      {"A [c\nA d\n", "ERROR!  [ without ]  Line = 1 , Part:0A\nA [c\n  ~"},
      {"A T\n", "ERROR!  Easy call error  Line = 1 , Part:0A\nA T\n  ~"},
      {"A S c U\n", "ERROR!  Easy call error  Line = 1 , Part:0A\nA S c U\n      ~"},
      {"A r&c\n", "ERROR!  & after command,r  Line = 1 , Part:0A\nA r&c\n   ~"},
      {"A [w c]2\n", "ERROR!  w must be out of loop  Line = 1 , Part:0A\nA [w c]2\n   ~"},
      // A send's target is read before its place is checked.
      {"A S sB c T\n", "ERROR!  s must be out of loop  Line = 1 , Part:0A\nA S sB c T\n     ~"},
      {"A [c sB]2\n", "ERROR!  s must be out of loop  Line = 1 , Part:0A\nA [c sB]2\n      ~"},
      {"A [c s!]2\n", "ERROR! Syntax error  Line = 1 , Part:0A\nA [c s!]2\n     ~"},
      {"A N\"x\"\n", "ERROR!  N without K  Line = 1 , Part:0A\nA N\"x\"\n  ~"},
      {"A s!\n", "ERROR! Syntax error  Line = 1 , Part:0A\nA s!\n  ~"},
      {"A @3 c\n", "ERROR! Undefined Voice Number  Line = 1 , Part:0A\nA @3 c\n     ~"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.source);
    EXPECT_EQ(error_of(k.source), k.text);
  }
  EXPECT_EQ(error_of("A s1\"B\"\n").substr(0, 7 + kSyntax.size()), "ERROR! " + kSyntax);
  EXPECT_EQ(error_of("A @10 GL2\n"),
            "ERROR! " + sjis("現在の音色で設定されているサンプル数を越えた指定です.") +
                " Line = 1 , Part:0A\nA @10 GL2\n        ~");
}

TEST_F(ErrorsTest, WaitErrorsPointAtTheWait) {
  EXPECT_EQ(error_of("A c\nB r\nC w d\n"), "ERROR!  Send not found  Line = 3 , Part:0C\nC w d\n  ~");
  EXPECT_EQ(error_of("A r1 w c\nB sA\n"), "ERROR!  w found after s  Line = 1 , Part:0A\nA r1 w c\n     ~");
  EXPECT_EQ(error_of("A w c\nB l1 [[[r]255]255]2 sA\n"),
            "ERROR!  Wait step is too long  Line = 1 , Part:0A\nA w c\n  ~");
  EXPECT_EQ(error_of("A " + std::string(129, 'w') + "\n").substr(0, 20), "ERROR!  Too many w  ");
  EXPECT_EQ(error_of("A c" + [] { std::string s; for (int i = 0; i < 129; ++i) s += "sB"; return s; }() + "\n").substr(0, 20), "ERROR!  Too many s  ");
}

TEST_F(ErrorsTest, TheVoiceCountComesBeforeAnErrorInAVoiceDefinition) {
  const Compiled c = compile("V5,abc x\nA c\n");
  EXPECT_EQ(c.result, 1);
  EXPECT_NE(c.text.find("0 Macro is defined.\n1 Voice setting.\nERROR! " + kSyntax +
                        " Line = 1 , Part: V\nV5,abc x\n       ~"),
            std::string::npos)
      << c.text;
}

TEST_F(ErrorsTest, AnErrorAfterHalfAProgressLineStartsANewOne) {
  const Compiled c = compile("A c\nB x\n");
  EXPECT_NE(c.text.find("(      0)    \nERROR! "), std::string::npos);
}

TEST_F(ErrorsTest, ResourceErrors) {
  // More than the object holds.
  std::string big;
  for (int i = 0; i < 600; ++i) big += "A " + std::string(100, 'c') + "\n";
  EXPECT_EQ(error_of(big).substr(0, 7 + 24), "ERROR! " + sjis("メモリが不足しています.\n"));
  // 64 voice lines.
  std::string voices;
  for (int i = 0; i < 64; ++i) voices += "V" + std::to_string(i) + ",v" + std::to_string(i) + "\n";
  EXPECT_EQ(error_of(voices).substr(0, 28), "ERROR! Too many voice names\n");
  std::string long_name = "V1," + std::string(64, 'n') + "\n";
  EXPECT_EQ(error_of(long_name).substr(0, 7 + kRange.size()), "ERROR! " + kRange);
}

TEST_F(ErrorsTest, MissingFilesAndADamagedConfiguration) {
  char text[KVTC_TEXT_SIZE] = {};
  EXPECT_EQ(_kvtc((dir / "none.mml").c_str(), config.c_str(), text), 1);
  EXPECT_EQ(std::string(text),
            "KVT Music Macro Language Compiler .. " + (dir / "none.mml").string() + "\n\n" + kNotFound);
  std::ofstream(dir / "a.mml") << "A c\n";
  text[0] = '\0';
  EXPECT_EQ(_kvtc((dir / "a.mml").c_str(), (dir / "none.cfb").c_str(), text), 1);
  EXPECT_NE(std::string(text).find(kNotFound), std::string::npos);
  std::ofstream(dir / "bad.cfb") << "short";
  text[0] = '\0';
  EXPECT_EQ(_kvtc((dir / "a.mml").c_str(), (dir / "bad.cfb").c_str(), text), 1);
  EXPECT_NE(std::string(text).find(kNotFound), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "a.KVT"));
}

TEST_F(ErrorsTest, WhatIsNoRegularFileIsNotFound) {
  namespace fs = std::filesystem;
  fs::create_directory(dir / "folder.mml");
  fs::create_symlink("/dev/null", dir / "device.mml");
  for (const char* name : {"folder.mml", "device.mml"}) {
    SCOPED_TRACE(name);
    char text[KVTC_TEXT_SIZE] = {};
    EXPECT_EQ(_kvtc((dir / name).c_str(), config.c_str(), text), 1);
    EXPECT_EQ(std::string(text), "KVT Music Macro Language Compiler .. " + (dir / name).string() + "\n\n" + kNotFound);
  }
  fs::create_directory(dir / "folder.cfb");
  std::ofstream(dir / "a.mml") << "A c\n";
  char text[KVTC_TEXT_SIZE] = {};
  EXPECT_EQ(_kvtc((dir / "a.mml").c_str(), (dir / "folder.cfb").c_str(), text), 1);
  EXPECT_NE(std::string(text).find(kNotFound), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(dir / "device.KVT"));
}

TEST_F(ErrorsTest, AFailedCompilationKeepsTheEarlierSong) {
  ASSERT_EQ(compile("A c\n").result, 0);
  const Bytes before = compile("A c\n").object;
  std::ofstream(dir / "song.mml") << "A x\n";
  char text[KVTC_TEXT_SIZE] = {};
  EXPECT_EQ(_kvtc((dir / "song.mml").c_str(), config.c_str(), text), 1);
  std::ifstream in(dir / "song.KVT", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), before);
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    EXPECT_EQ(e.path().string().find(".part-"), std::string::npos) << e.path();
  }
}

TEST_F(ErrorsTest, TheMessageBufferIsNeverOverrun) {
  std::ofstream(dir / "a.mml") << "A x\n";
  char text[40];
  std::fill(std::begin(text), std::end(text), 'z');
  text[0] = '\0';
  EXPECT_EQ(kvtc_compile((dir / "a.mml").c_str(), config.c_str(), text, 32), 1);
  EXPECT_EQ(std::string(text).size(), 31u);
  EXPECT_EQ(text[32], 'z');
}

}  // namespace
}  // namespace kvt::test
