// `kvt mml` and `kvt wav` on MML sources, with the default voice bank.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(MmlCommand, CompilesBesideTheSourceAndReports) {
  const ScratchDir dir;
  dir.write("Tune.mml", text("!\"Tune\"\nA @0 v120 o4 cdef g2\n"));
  const CommandRun run = run_kvt({"mml", dir / "Tune.mml"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Fin. 0A Part - Step     288 (      0)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Compile Completed."), std::string::npos);
  EXPECT_NE(run.out.find((dir / "Tune.KVT") + "\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "Tune.KVT"));
}

TEST(MmlCommand, ASongNameInAnotherCaseIsReplaced) {
  const ScratchDir dir;
  dir.write("tune.MML", text("A @0 c\n"));
  dir.write("tune.kvt", text("old"));
  const CommandRun run = run_kvt({"mml", dir / "tune.mml"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"tune.kvt", "tune.MML"}));
  EXPECT_NE(read_file(dir / "tune.kvt"), text("old"));
}

TEST(MmlCommand, ErrorsArePrintedInUtf8AndExitOne) {
  const ScratchDir dir;
  dir.write("bad.mml", text("A @0 x\n"));
  const CommandRun run = run_kvt({"mml", dir / "bad.mml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("ERROR! 構文エラーです. Line = 1 , Part:0A\nA @0 x\n     ~\n"), std::string::npos) << run.err;
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"bad.mml"});
  EXPECT_EQ(run_kvt({"mml"}).status, 2);
  EXPECT_EQ(run_kvt({"mml", dir / "bad.mml", "-c"}).status, 2);
}

TEST(MmlCommand, AFolderIsNoSource) {
  const ScratchDir dir;
  std::filesystem::create_directory(dir / "folder.mml");
  const CommandRun run = run_kvt({"mml", dir / "folder.mml"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "kvt: cannot read " + (dir / "folder.mml") + ": is a folder\n");
}

TEST(MmlCommand, WavCompilesFirst) {
  const ScratchDir dir;
  dir.write("Tune.mml", text("A @0 v120 c4\n"));
  const CommandRun run = run_kvt({"wav", dir / "Tune.mml", "--rate", "11025"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "Tune.KVT"));
  EXPECT_GT(read_file(dir / "Tune.wav").size(), 44u);
  EXPECT_EQ(run_kvt({"wav", dir / "missing.mml"}).status, 1);
}

TEST(MmlCommand, TitlesShowAsUtf8InEveryCommand) {
  const ScratchDir dir;
  const std::string utf8 = "Caf\xC3\xA9 \xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89";  // ends in a byte that could lead Shift-JIS
  const std::string shift_jis = "\x82\xA0", shown = "\xE3\x81\x82";  // the same letter in both
  for (const auto& [written, expected] : {std::pair{utf8, utf8}, std::pair{shift_jis, shown}}) {
    SCOPED_TRACE(expected);
    dir.write("t.mml", text("!" + written + "\nA @0 c4\n"));
    const CommandRun wav = run_kvt({"wav", dir / "t.mml", "--rate", "11025"});
    ASSERT_EQ(wav.status, 0) << wav.err;
    EXPECT_EQ(wav.out.substr(0, wav.out.find('\n')), "Title : " + expected);
    EXPECT_EQ(run_kvt({"title", dir / "t.KVT"}).out, expected + "\n");
    EXPECT_NE(run_kvt({"info", dir / "t.KVT"}).out.find("\nTitle : " + expected + "\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace kvt::test
