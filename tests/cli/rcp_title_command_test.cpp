// `kvt rcp2mid`, `kvt title` and `kvt wav` on RCP files.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

// An RCP file with one track of two notes, titled "Rcp tune".
Bytes rcp_tune() {
  Bytes b(0x586, 0);
  const std::string magic = "RCM-PC98V2.0(C)COME ON MUSIC\r\n", title = "Rcp tune";
  std::copy(magic.begin(), magic.end(), b.begin());
  std::copy(title.begin(), title.end(), b.begin() + 0x20);
  b[0x1C0] = 48;
  b[0x1C1] = 120;
  const Bytes track{60, 0, 0, 0, 0, 0, 0, 0};
  b.insert(b.end(), track.begin(), track.end());
  b.resize(b.size() + 36, 0);
  for (const Bytes& e : {Bytes{60, 48, 40, 100}, Bytes{64, 48, 40, 100}, Bytes{0xFE, 0, 0, 0}})
    b.insert(b.end(), e.begin(), e.end());
  return b;
}

TEST(RcpCommands, Rcp2midWritesAMidiFileBesideIt) {
  const ScratchDir dir;
  dir.write("tune.rcp", rcp_tune());
  const CommandRun run = run_kvt({"rcp2mid", dir / "tune.rcp"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(".rcp->.mid Converter Ver0.40"), std::string::npos) << run.out;
  const Bytes midi = read_file(dir / "tune.mid");
  ASSERT_GT(midi.size(), 14u);
  EXPECT_EQ(Bytes(midi.begin(), midi.begin() + 4), (Bytes{'M', 'T', 'h', 'd'}));
  EXPECT_EQ(run_kvt({"rcp2mid", dir / "tune.rcp", "-o", dir / "other.mid"}).status, 0);
  EXPECT_EQ(read_file(dir / "other.mid"), midi);
  EXPECT_EQ(run_kvt({"rcp2mid", dir / "none.rcp"}).status, 1);
  EXPECT_EQ(run_kvt({"rcp2mid"}).status, 2);
}

TEST(RcpCommands, TitleReadsEveryKind) {
  const ScratchDir dir;
  dir.write("tune.rcp", rcp_tune());
  dir.write("tune.mid", smf_file(0, 48, {smf_track({track_name(0, "Midi tune")})}));
  dir.write("untitled.mid", smf_file(0, 48, {smf_track({})}));
  EXPECT_EQ(run_kvt({"title", dir / "tune.rcp"}).out, "Rcp tune\n");
  EXPECT_EQ(run_kvt({"title", dir / "tune.mid"}).out, "Midi tune\n");
  ASSERT_EQ(run_kvt({"mid2kvt", dir / "tune.mid"}).status, 0);
  EXPECT_EQ(run_kvt({"title", dir / "tune.kvt"}).out, "Midi tune\n");
  const CommandRun none = run_kvt({"title", dir / "untitled.mid"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "no title\n");
  const CommandRun missing = run_kvt({"title", dir / "missing.kvt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "kvt: cannot read " + (dir / "missing.kvt") + ": no such file or directory\n");
  // A sequence name of five bytes of which the file holds two.
  dir.write("cut.mid", {0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 1, 0, 1, 0, 0x30, 0x4D, 0x54, 0x72, 0x6B, 0, 0, 0,
                        0x0A, 0x00, 0xFF, 0x03, 0x05, 0x54, 0x69});
  const CommandRun cut = run_kvt({"title", dir / "cut.mid"});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.out, "no title\n");
}

TEST(RcpCommands, AFolderIsNoInput) {
  const ScratchDir dir;
  for (const char* name : {"folder.rcp", "folder.mid"}) std::filesystem::create_directory(dir / name);
  const std::string rcp = dir / "folder.rcp", mid = dir / "folder.mid";
  const CommandRun title = run_kvt({"title", mid});
  EXPECT_EQ(title.status, 1);
  EXPECT_EQ(title.out, "");
  EXPECT_EQ(title.err, "kvt: cannot read " + mid + ": is a folder\n");
  for (const auto& [command, path] : {std::pair{"rcp2mid", rcp}, std::pair{"mid2kvt", mid}}) {
    const CommandRun run = run_kvt({command, path, "-o", dir / "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt: cannot read " + path + ": is a folder\n");
  }
  EXPECT_EQ(dir.entries().size(), 2u) << "the two folders and nothing else";
}

TEST(RcpCommands, WavConvertsThroughMidi) {
  const ScratchDir dir;
  dir.write("tune.rcp", rcp_tune());
  const CommandRun run = run_kvt({"wav", dir / "tune.rcp", "--rate", "11025"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.entries().size(), 2u) << "tune.rcp and tune.wav only";
  EXPECT_NE(run.out.find("Title : Rcp tune"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace kvt::test
