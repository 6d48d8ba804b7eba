// The kvt97 program as a process: one instance per user, and an orderly
// end on a stop signal that keeps the settings and albums.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "display_text.h"
#include "host_fixture.h"
#include "program_process.h"

namespace kvt::test {
namespace {

constexpr int kStartMs = 20000;  // a loaded machine may start Qt slowly

class ProgramTest : public testing::Test {
 protected:
  std::string config(const std::string& name) const { return home / ("config/kvt97/" + name); }
  std::string instance_socket() const { return home / "runtime/kvt97.instance"; }

  ScratchDir home;
};

TEST_F(ProgramTest, ASecondStartWithoutAFileRaisesTheFirstAndEnds) {
  ProgramProcess first(KVT97_BINARY, {}, home.path().string());
  ASSERT_TRUE(wait_for_file(instance_socket(), kStartMs));
  ProgramProcess second(KVT97_BINARY, {}, home.path().string());
  EXPECT_EQ(second.wait(kStartMs), 0);
  EXPECT_FALSE(first.wait(200).has_value()) << "the first instance must go on";
  EXPECT_FALSE(std::filesystem::exists(config("kvt97.ini")));
}

TEST_F(ProgramTest, ASecondStartWithAFileClosesTheFirstWhichSavesEverything) {
  ProgramProcess first(KVT97_BINARY, {}, home.path().string());
  ASSERT_TRUE(wait_for_file(instance_socket(), kStartMs));
  const std::string song = home.write("song.kvt", {'K', 'V', 'T', 'M'});
  ProgramProcess second(KVT97_BINARY, {song}, home.path().string());
  EXPECT_EQ(first.wait(kStartMs), 0);
  EXPECT_EQ(std::filesystem::file_size(config("kvt97.ini")), 932u);
  EXPECT_FALSE(second.wait(300).has_value()) << "the second instance carries on";
  std::filesystem::remove(config("kvt97.ini"));
  second.signal(SIGTERM);
  EXPECT_EQ(second.wait(kStartMs), 0);
  EXPECT_EQ(std::filesystem::file_size(config("kvt97.ini")), 932u);
}

TEST_F(ProgramTest, StopSignalsEndItInOrderKeepingSettingsAndAlbums) {
  for (const int number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(number);
    std::filesystem::remove(config("album.txt"));
    ProgramProcess program(KVT97_BINARY, {}, home.path().string());
    ASSERT_TRUE(wait_for_file(instance_socket(), kStartMs));
    program.signal(number);
    EXPECT_EQ(program.wait(kStartMs), 0);
    const Bytes settings = read_file(config("kvt97.ini"));
    ASSERT_EQ(settings.size(), 932u);
    EXPECT_EQ(settings[536], 2);  // the play rate of a new installation
    // Without an album file, the program starts with one album of the user's.
    const std::string album = "[" + frontend::to_shift_jis("その他のデータ(名前は変更してね)") + "]\r\n\r\n";
    EXPECT_EQ(read_file(config("album.txt")), Bytes(album.begin(), album.end()));
  }
}

}  // namespace
}  // namespace kvt::test
