// The files the commands are given, end to end: names found whatever their
// letter case, no output that replaces an input, and every refusal naming
// the file and the reason before anything is read, compiled or written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes tune() {
  return smf_file(0, 96, {smf_track({track_name(0, "Midi tune"), program(0, 1, 0), note_on(0, 1, 60),
                                     note_off(96, 1, 60)})});
}

// Every path under the directory, with the bytes of the regular files.
std::map<std::string, Bytes> contents(const ScratchDir& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& e : fs::recursive_directory_iterator(dir.path()))
    files[e.path().string()] = e.is_regular_file() ? read_file(e.path().string()) : Bytes{};
  return files;
}

// The paths that appeared, went or changed between the two.
std::vector<std::string> changes(const std::map<std::string, Bytes>& before, const std::map<std::string, Bytes>& after) {
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : after) {
    const auto was = before.find(path);
    if (was == before.end() || was->second != bytes) paths.push_back(path);
  }
  for (const auto& [path, bytes] : before) {
    if (after.count(path) == 0) paths.push_back(path);
  }
  return paths;
}

std::string joined(const std::vector<std::string>& args) {
  std::string line = "kvt";
  for (const std::string& a : args) line += " " + a;
  return line;
}

// The command fails with exactly `message` and changes nothing in `dir`.
void expect_refusal(const ScratchDir& dir, const std::vector<std::string>& args, int status,
                    const std::string& message) {
  SCOPED_TRACE(joined(args));
  const auto before = contents(dir);
  const CommandRun run = run_kvt(args);
  EXPECT_EQ(run.status, status);
  EXPECT_EQ(run.err, message);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(changes(before, contents(dir)), std::vector<std::string>{}) << "nothing written, every input as it was";
}

// Permissions do not hold the superuser back.
bool root() { return geteuid() == 0; }

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() {
    dir.write("s.mml", text("!Case\nA @0 v120 c4\n"));
    dir.write("m.mid", tune());
    dir.write("r.rcp", text("RCM-"));
    dir.write("x.kvt", text("KVTM"));
    dir.write("c.cfb", text("cfg"));
    fs::create_directory(dir / "folder");
  }

  ScratchDir dir;
};

TEST_F(FilesTest, AnOutputThatIsAnInputIsRefused) {
  fs::create_hard_link(dir / "s.mml", dir / "link.mml");
  fs::create_directory(dir / "sub");
  const std::string s = dir / "s.mml", m = dir / "m.mid";
  const std::vector<std::vector<std::string>> lines = {
      {"wav", s, "-o", s},
      {"wav", s, "-o", dir / "link.mml"},
      {"wav", s, "-o", dir / "sub/../s.mml"},
      {"wav", s, "-o", dir / "s.KVT"},  // the song compiled on the way, not there yet
      {"wav", dir / "x.kvt", "-o", dir / "x.kvt"},
      {"wav", m, "-c", dir / "c.cfb", "-o", dir / "c.cfb"},
      {"mid2kvt", m, "-o", m},
      {"mid2kvt", m, "-c", dir / "c.cfb", "-o", dir / "c.cfb"},
      {"rcp2mid", dir / "r.rcp", "-o", dir / "r.rcp"},
  };
  for (const auto& args : lines) {
    expect_refusal(dir, args, 2, "kvt: " + args.back() + " is the input file; choose another output\n");
  }
}

TEST_F(FilesTest, NamesAreFoundWhateverTheirLetterCase) {
  ASSERT_EQ(run_kvt({"mml", dir / "s.mml"}).status, 0);
  ASSERT_TRUE(fs::exists(dir / "s.KVT"));
  const std::string song = dir / "s.kvt";

  const CommandRun wav = run_kvt({"wav", song, "--rate", "11025"});
  EXPECT_EQ(wav.status, 0) << wav.err;
  EXPECT_TRUE(fs::exists(dir / "s.wav"));
  const CommandRun title = run_kvt({"title", song});
  EXPECT_EQ(title.status, 0) << title.err;
  EXPECT_EQ(title.out, "Case\n");
  const CommandRun info = run_kvt({"info", song});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out.rfind((dir / "s.KVT") + "  (", 0), 0u) << info.out;
  const ScratchDir card;
  use_disk_card(card / "card.raw", 1);
  const CommandRun play = run_kvt({"play", song});
  EXPECT_EQ(play.status, 0) << play.err;
  EXPECT_EQ(play.out, "Title : Case\n");

  const CommandRun mid = run_kvt({"mid2kvt", dir / "M.MID"});
  EXPECT_EQ(mid.status, 0) << mid.err;
  EXPECT_TRUE(fs::exists(dir / "m.kvt"));
  EXPECT_EQ(run_kvt({"title", dir / "M.Mid"}).out, "Midi tune\n");
  EXPECT_EQ(run_kvt({"mml", dir / "S.MML"}).status, 0);
}

TEST_F(FilesTest, AnInputThatCannotBeReadIsNamedWithTheReason) {
  const std::pair<const char*, const char*> commands[] = {
      {"mml", ".mml"}, {"mid2kvt", ".mid"}, {"rcp2mid", ".rcp"}, {"wav", ".kvt"},
      {"play", ".kvt"}, {"title", ".kvt"}, {"info", ".kvt"},
  };
  const ScratchDir elsewhere;  // what is in `dir` must stay readable to the test
  const std::string locked = elsewhere.write("locked", text("KVTM"));
  fs::permissions(locked, fs::perms::none);
  for (const auto& [command, extension] : commands) {
    const std::string folder = dir / (std::string("folder") + extension);
    fs::create_directory(folder);
    expect_refusal(dir, {command, folder}, 1, "kvt: cannot read " + folder + ": is a folder\n");
    const std::string missing = dir / (std::string("missing") + extension);
    expect_refusal(dir, {command, missing}, 1, "kvt: cannot read " + missing + ": no such file or directory\n");
    expect_refusal(dir, {command, "/dev/zero"}, 1, "kvt: cannot read /dev/zero: is not a regular file\n");
    if (!root()) expect_refusal(dir, {command, locked}, 1, "kvt: cannot read " + locked + ": permission denied\n");
  }
}

TEST_F(FilesTest, AnOutputThatCannotBeCreatedFailsBeforeAnythingRuns) {
  const std::string readonly = dir / "readonly";
  fs::create_directory(readonly);
  fs::permissions(readonly, fs::perms::owner_read | fs::perms::owner_exec);
  const std::pair<std::string, std::string> outputs[] = {
      {dir / "none/out", "no such file or directory"},
      {dir / "folder", "is a folder"},
      {dir / "s.mml/out", "not a directory"},
      {readonly + "/out", "permission denied"},
  };
  const std::string s = dir / "s.mml";
  for (const auto& [out, reason] : outputs) {
    if (out.rfind(readonly, 0) == 0 && root()) continue;
    const std::string message = "kvt: cannot write " + out + ": " + reason + "\n";
    // An 8-bit rendering would otherwise play the whole song once before writing.
    expect_refusal(dir, {"wav", s, "--bits", "8", "-o", out}, 1, message);
    expect_refusal(dir, {"mid2kvt", dir / "m.mid", "-o", out}, 1, message);
    expect_refusal(dir, {"rcp2mid", dir / "r.rcp", "-o", out}, 1, message);
  }
  fs::create_directory(dir / "s.KVT");
  const std::string compiled = "kvt: cannot write " + (dir / "s.KVT") + ": is a folder\n";
  expect_refusal(dir, {"mml", s}, 1, compiled);
  expect_refusal(dir, {"wav", s, "-o", dir / "s.wav"}, 1, compiled);
  fs::permissions(readonly, fs::perms::owner_all);
}

TEST_F(FilesTest, ASourceInAReadOnlyFolderIsNotCompiled) {
  if (root()) GTEST_SKIP() << "permissions do not hold the superuser back";
  const std::string source = dir.write("readonly/t.mml", text("A @0 v120 c4\n"));
  fs::permissions(dir / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
  expect_refusal(dir, {"mml", source}, 1, "kvt: cannot write " + (dir / "readonly/t.KVT") + ": permission denied\n");
  fs::permissions(dir / "readonly", fs::perms::owner_all);
}

// A write that fails part way, as on a full disk: here files may grow to
// 1024 bytes only (and the signal for going past that is ignored, so the
// write itself fails), room for the messages but not for the outputs.
TEST_F(FilesTest, AWriteThatFailsSaysWhy) {
  std::string notes = "!Long\nA @0 l16 ";
  for (int i = 0; i < 200; ++i) notes += "cdefgab";
  dir.write("long.mml", text(notes + "\n"));
  struct rlimit was {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
  const auto run_limited = [&](const std::vector<std::string>& args) {
    struct rlimit small = was;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    RunOptions options;
    options.ignored = {SIGXFSZ};
    const CommandRun run = run_kvt(args, options);
    setrlimit(RLIMIT_FSIZE, &was);
    return run;
  };
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"wav", dir / "s.mml", "-o", dir / "s.wav"}, dir / "s.wav"},
      {{"mml", dir / "long.mml"}, dir / "long.KVT"},
      {{"mid2kvt", dir / "m.mid"}, dir / "m.kvt"},
  };
  for (const auto& [args, out] : cases) {
    SCOPED_TRACE(joined(args));
    const CommandRun run = run_limited(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("kvt: cannot write " + out + ": file too large\n"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out));
  }
}

}  // namespace
}  // namespace kvt::test
