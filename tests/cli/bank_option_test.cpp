// --bank and KVT_BANK: a command takes its voices and voice configuration
// from the bank chosen, --voices and -c still override it, and a bank that
// cannot be found is a usage error naming it.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "host_fixture.h"
#include "run_kvt.h"
#include "smf_builder.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;

const fs::path kBuiltIn = fs::path(KVT_SAMPLE_DIR).parent_path();

class BankOptionTest : public ::testing::Test {
 protected:
  BankOptionTest() {
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    unsetenv("KVT_BANK");
    dir.write("tune.mid", smf_file(0, 96,
                                   {smf_track({program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60),
                                               note_on(0, 10, 38), note_off(96, 10, 38)})}));
    // The built-in bank again, its voices beside the configuration.
    const fs::path copy = data.path() / "kvt97/banks/copy";
    fs::create_directories(copy);
    fs::copy_file(kBuiltIn / "kvt.cfb", copy / "kvt.cfb");
    for (const auto& voice : fs::directory_iterator(kBuiltIn / "Pcm97"))
      fs::copy_file(voice, copy / voice.path().filename());
    // A configuration without its voices.
    fs::create_directories(data.path() / "hollow");
    fs::copy_file(kBuiltIn / "kvt.cfb", data.path() / "hollow/kvt.cfb");
  }
  ~BankOptionTest() override {
    unsetenv("XDG_DATA_HOME");
    unsetenv("KVT_BANK");
  }

  CommandRun wav(std::vector<std::string> extra, const std::string& out) {
    std::vector<std::string> args = {"wav", dir / "tune.mid", "-o", dir / out, "--exact"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_kvt(args);
  }

  ScratchDir dir;
  ScratchDir data;  // $XDG_DATA_HOME
};

TEST_F(BankOptionTest, TheBankChosenGivesTheVoicesAndTheConfiguration) {
  ASSERT_EQ(wav({}, "built-in.wav").status, 0);
  const Bytes expected = read_file(dir / "built-in.wav");
  const CommandRun named = wav({"--bank", "copy"}, "named.wav");
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(read_file(dir / "named.wav"), expected);
  setenv("KVT_BANK", (data / "kvt97/banks/copy").c_str(), 1);
  const CommandRun from_environment = wav({}, "environment.wav");
  ASSERT_EQ(from_environment.status, 0) << from_environment.err;
  EXPECT_EQ(read_file(dir / "environment.wav"), expected);

  // A bank whose voices are missing shows that its folders are searched.
  const CommandRun hollow = wav({"--bank", data / "hollow"}, "hollow.wav");
  EXPECT_EQ(hollow.status, 1);
  EXPECT_NE(hollow.err.find("is not found.\nPlease Check PCM data Directory."), std::string::npos) << hollow.err;
  const CommandRun voiced = wav({"--voices", (kBuiltIn / "Pcm97").string(), "--bank", data / "hollow"}, "voiced.wav");
  ASSERT_EQ(voiced.status, 0) << voiced.err;
  EXPECT_EQ(read_file(dir / "voiced.wav"), expected);
}

TEST_F(BankOptionTest, AConfigurationGivenOutranksTheBanks) {
  const ScratchDir other;
  other.write("kvt.cfb", {'n', 'o', 't'});
  const CommandRun run = run_kvt({"mid2kvt", dir / "tune.mid", "--bank", "copy", "-c", other / "kvt.cfb"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(other / "kvt.cfb"), std::string::npos) << run.err;
  const CommandRun banked = run_kvt({"mid2kvt", dir / "tune.mid", "--bank", "copy"});
  EXPECT_EQ(banked.status, 0) << banked.err;
}

TEST_F(BankOptionTest, ABankThatCannotBeFoundIsAUsageError) {
  const CommandRun named = run_kvt({"mml", dir / "song.mml", "--bank", "nothing"});
  EXPECT_EQ(named.status, 2);
  EXPECT_NE(named.err.find("kvt mml: no voice bank named nothing ('kvt bank list' shows them)"), std::string::npos)
      << named.err;
  setenv("KVT_BANK", "nothing", 1);
  for (const char* command : {"wav", "play", "mid2kvt", "keys", "info"}) {
    const CommandRun run = run_kvt({command, dir / "tune.mid"});
    EXPECT_EQ(run.status, 2) << command;
    EXPECT_NE(run.err.find("KVT_BANK: no voice bank named nothing"), std::string::npos) << command << ": " << run.err;
  }
  const CommandRun chosen = run_kvt({"mid2kvt", dir / "tune.mid", "--bank", "copy"});
  EXPECT_EQ(chosen.status, 0) << "--bank outranks KVT_BANK: " << chosen.err;
}

}  // namespace
}  // namespace kvt::test
