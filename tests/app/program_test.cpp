// The kvt97 program as a process: one instance per user, and an orderly
// end on a stop signal that keeps the settings and albums.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "card_capture.h"
#include "display_text.h"
#include "host_fixture.h"
#include "program_process.h"
#include "smf_builder.h"

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

TEST_F(ProgramTest, AFileNamedAtTheStartPlaysAsItsRenderingAndNothingIsLeftBehind) {
  // A MIDI file: it plays from a converted song in the program's scratch folder.
  const Bytes tune = smf_file(0, 96, {smf_track({program(0, 1, 0), note_on(0, 1, 60), note_off(192, 1, 60),
                                                 note_on(0, 1, 67), note_off(192, 1, 67)})});
  const std::string midi = home.write("tune.mid", tune);
  const std::string wav = home / "expected.wav";
  ASSERT_EQ(std::system(("'" KVT_BINARY "' wav '" + midi + "' -o '" + wav + "' --rate 22050 --effect 1 --loop 1 --fade 0 > '" +
                         (home / "wav.log") + "' 2>&1")
                            .c_str()),
            0);
  use_disk_card(home / "card.raw", 1);
  ProgramProcess program(KVT97_BINARY, {midi}, home.path().string());
  ASSERT_TRUE(wait_for_file(instance_socket(), kStartMs));
  // The song has played once the card has had all of it and its device
  // was closed: the capture grows no more.
  const std::uintmax_t expected_bytes = std::filesystem::file_size(wav) - 44;
  std::uintmax_t last = 0;
  for (int waited = 0, still = 0; waited < kStartMs && still < 15; waited += 20) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(home / "card.raw", ec);
    still = size >= expected_bytes && size == last ? still + 1 : 0;
    last = size;
  }
  program.signal(SIGTERM);
  EXPECT_EQ(program.wait(kStartMs), 0);
  EXPECT_TRUE(plays_as(samples_of(read_file(home / "card.raw")), samples_of(read_file(wav), 44), 2, 12288));
  EXPECT_EQ(std::filesystem::file_size(config("kvt97.ini")), 932u);
  for (const auto& entry : std::filesystem::directory_iterator(home / "runtime")) {
    EXPECT_EQ(entry.path().filename().string().rfind("kvt97-", 0), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace kvt::test
