// `kvt keys`: the visual player's keyboard calls of a song, without sound.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "mml_config.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

// Part 0 is named "abc" and holds key 36 for 4 ticks; part 1 rests 2 ticks,
// then holds key 38 for 2; part 2 has an empty name and key 40 for 1 tick.
Bytes small_song() {
  return make_song(
      {48, 1, false, {{0xFD, 3, 'a', 'b', 'c', 36, 4, 0xFF}, {0x75, 2, 38, 2, 0xFF}, {0xFD, 0, 40, 1, 0xFF}}});
}

TEST(KeysCommand, PrintsEveryCallOfTheViewInOrder) {
  const ScratchDir dir;
  const std::string song = dir.write("small.kvt", small_song());
  const CommandRun run = run_kvt({"keys", song});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      run.out,
      "0 name 0 616263\n0 set 0 36\n0 name 2\n0 set 2 40\n0 reset 2 40\n1 set 1 38\n3 reset 0 36\n3 reset 1 38\n");
  EXPECT_EQ(run.err, "");
}

TEST(KeysCommand, TicksStopsTheRun) {
  const ScratchDir dir;
  const std::string song = dir.write("small.kvt", small_song());
  EXPECT_EQ(run_kvt({"keys", song, "--ticks", "2"}).out,
            "0 name 0 616263\n0 set 0 36\n0 name 2\n0 set 2 40\n0 reset 2 40\n1 set 1 38\n");
  EXPECT_EQ(run_kvt({"keys", "--ticks=0", song}).out, "0 name 0 616263\n0 set 0 36\n0 name 2\n0 set 2 40\n");
}

TEST(KeysCommand, WithoutTicksItStopsAfterTenMinutes) {
  // At tempo 41340 song tick 40 comes at tick 1653600, the last of ten
  // minutes (2756 x 600), and song tick 41 after them.
  const ScratchDir dir;
  const std::string song = dir.write("slow.kvt", make_song({48, 41340, false, {{36, 40, 0xFF}, {38, 41, 0xFF}}}));
  const CommandRun run = run_kvt({"keys", song});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0 set 0 36\n0 set 1 38\n1653599 reset 0 36\n");
}

TEST(KeysCommand, CompilesAnMmlSourceFirst) {
  // Voice 10 of the configuration: o3 c (24) plays slot 0 an octave up as
  // 36, o6 c (60) slot 1 an octave down as 48; the key table shifts them
  // back. Quarter notes of 48 song ticks at tempo 28, then an eighth.
  const ScratchDir dir;
  dir.write("t.cfb", test_config());
  const std::string source = "A @10 o3 c4 o6 c8\n";
  dir.write("t.mml", Bytes(source.begin(), source.end()));
  const CommandRun run = run_kvt({"keys", dir / "t.mml", "-c", dir / "t.cfb"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0 set 0 24\n1343 reset 0 24\n1343 set 0 60\n2015 reset 0 60\n");
}

TEST(KeysCommand, BadCommandLinesAndFiles) {
  const ScratchDir dir;
  const std::string song = dir.write("small.kvt", small_song());
  const std::vector<std::vector<std::string>> bad_lines = {
      {"keys"}, {"keys", song, song}, {"keys", song, "--ticks", "-1"}, {"keys", song, "--ticks", "x"},
      {"keys", song, "--ticks"}, {"keys", song, "--bogus"}, {"keys", song, "-c"}};
  for (const std::vector<std::string>& args : bad_lines) {
    SCOPED_TRACE(args.size() > 2 ? args[2] : "");
    const CommandRun run = run_kvt(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("\nusage: kvt keys SONG"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  const CommandRun missing = run_kvt({"keys", dir / "missing.kvt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "kvt: cannot read " + (dir / "missing.kvt") + ": no such file or directory\n");
  Bytes damaged = small_song();
  damaged[0x0B] = 0xF0;  // the title block lies past the end
  const std::string bad = dir.write("damaged.kvt", damaged);
  const CommandRun refused = run_kvt({"keys", bad});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "kvt: " + bad + ": Not FM data: Format Error!\n");
  EXPECT_EQ(refused.out, "");
}

}  // namespace
}  // namespace kvt::test
