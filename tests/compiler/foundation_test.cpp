// The compiler's groundwork: the message buffer, file names, the voice
// configuration and the error report.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config_reader.h"
#include "error_report.h"
#include "messages.h"
#include "paths.h"

namespace kvt::compiler {
namespace {

namespace fs = std::filesystem;

class CompilerTest : public ::testing::Test {
 protected:
  CompilerTest() {
    c = std::make_unique<Compiler>();
    c->text = buffer;
    c->text_size = sizeof buffer;
  }
  std::string raise(int ecode) {
    try {
      error(*c, ecode);
    } catch (const CompileError& e) {
      EXPECT_EQ(e.ecode, ecode);
    }
    return buffer;
  }

  std::unique_ptr<Compiler> c;
  char buffer[512] = {};
};

TEST_F(CompilerTest, MessagesAreCutAtTheEndOfTheBuffer) {
  c->text_size = 12;
  append(*c, "Fin. %c%c Part - ", '0', 'A');
  EXPECT_EQ(std::string(buffer), "Fin. 0A Par");
  append(*c, "more");
  EXPECT_EQ(std::string(buffer), "Fin. 0A Par");
}

TEST(CompilerPaths, ExtensionReplacement) {
  EXPECT_EQ(opt("song.mml", ".KVT"), "song.KVT");
  EXPECT_EQ(opt("song", ".KVT"), "song.KVT");
  EXPECT_EQ(opt("dir.v2/song", ".MML"), "dir.MML");  // the last "." may lie in a directory name
  EXPECT_EQ(opt("a.b.c", ".CFB"), "a.b.CFB");
}

TEST(CompilerPaths, NamesResolveBlindToCase) {
  const fs::path dir = fs::temp_directory_path() / ("kvtc-paths-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "Song.mml") << "x";
  EXPECT_EQ(resolve_case((dir / "song.MML").string()), (dir / "Song.mml").string());
  EXPECT_EQ(resolve_case((dir / "Song.mml").string()), (dir / "Song.mml").string());
  EXPECT_EQ(resolve_case((dir / "other.MML").string()), (dir / "other.MML").string());
  fs::remove_all(dir);
}

std::vector<std::uint8_t> bank_config() {
  std::ifstream in(std::string(KVT_ASSET_DIR) + "/kvt.cfb", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST_F(CompilerTest, TheDefaultConfigurationReads) {
  c->pCfg = bank_config();
  ASSERT_TRUE(read_config(*c));
  EXPECT_FALSE(c->pcm_define[0]);
  ASSERT_TRUE(c->pcm_define[128]);
  EXPECT_STREQ(c->pcm_name[128], "piano_l");
  EXPECT_EQ(c->pcm_key[128], 0xC0);
  for (int p = 0; p < 128; ++p) {
    ASSERT_TRUE(c->ms_define[p]) << p;
    EXPECT_GE(c->ms_splits[p], 1u);
  }
  EXPECT_FALSE(c->ms_define[128]);
  EXPECT_EQ(c->pcm_use[5], -1);
}

TEST_F(CompilerTest, DamagedConfigurationsAreRefused) {
  const std::vector<std::uint8_t> good = bank_config();
  ASSERT_GT(good.size(), 0x40u);
  const std::uint32_t t1 = good[0x10] | (good[0x11] << 8);
  struct Case {
    const char* what;
    std::size_t field;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"too many voices", 0x14, 2049},          {"too many split lists", 0x1C, 513},
      {"voice index outside", 0x10, 0xFFFFFF},  {"split index outside", 0x18, static_cast<std::uint32_t>(good.size())},
      {"voice entries past the end", 0x14, static_cast<std::uint32_t>((good.size() - t1) / 2 + 1)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    c->pCfg = good;
    set32(c->pCfg, k.field, k.value);
    EXPECT_FALSE(read_config(*c));
  }
  c->pCfg = good;
  const std::uint32_t t2 = good[0x18] | (good[0x19] << 8);
  c->pCfg.resize(t2 + 2 * 128 + 9);  // the first split list loses its end
  EXPECT_FALSE(read_config(*c));
  c->pCfg.assign(good.begin(), good.begin() + 0x18);
  EXPECT_FALSE(read_config(*c));
}

TEST_F(CompilerTest, ErrorsNameLineAndPartAndMarkTheirPosition) {
  const char source[] = "\r\nA o4 c1000 d\r\n\x1A";
  const char* line = source + 2;
  c->linenum = 1;
  c->partname = 'A';
  c->partname2 = '0';
  c->mmlnum = {line + 7, line};
  c->numlen = 4;
  c->mmlstr = {line + 12, line};
  EXPECT_EQ(raise(3), "ERROR! \220\224\222l\202\252\216w\222\350\224\315\210\315\202\360\211z\202\246\202\304\202\242\202\334\202\267."
                      " Line = 1 , Part:0A\nA o4 c1000 d\n       ~~~~");
  buffer[0] = 0;
  c->putcnt = 1;
  EXPECT_EQ(raise(26), "\nERROR! Undefined Voice Number  Line = 1 , Part:0A\nA o4 c1000 d\n            ~");
}

TEST_F(CompilerTest, ErrorsWithoutLineAndSpecialParts) {
  c->mallev = 3;
  c->pCfg.assign(10, 1);
  c->mmldata.assign(10, 'x');
  c->objdata.assign(10, 0xFF);
  EXPECT_EQ(raise(1), "ERROR! \203t\203@\203C\203\213\202\252\214\251\202\302\202\251\202\350\202\334\202\271\202\361.\n");
  EXPECT_TRUE(c->pCfg.empty() && c->mmldata.empty() && c->objdata.empty());
  EXPECT_EQ(c->mallev, 0);
  buffer[0] = 0;
  c->partname = 'T';
  c->partname2 = '0';
  c->linenum = 4;
  EXPECT_EQ(raise(99), "ERROR! Other Error  Line = 4 , Part: T\n");
}

}  // namespace
}  // namespace kvt::compiler
