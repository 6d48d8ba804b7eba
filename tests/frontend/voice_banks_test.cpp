// Voice banks: the built-in one, those installed for the user, a folder
// named directly, and the choice that KVT_BANK or a command line makes.
#include "voice_banks.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "host_fixture.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;
using frontend::BankError;
using frontend::VoiceBank;

std::string reason(const std::string& name_or_dir) {
  try {
    frontend::find_bank(name_or_dir);
  } catch (const BankError& e) {
    return e.what();
  }
  return "found";
}

std::vector<std::string> names(const std::vector<VoiceBank>& banks) {
  std::vector<std::string> n;
  for (const VoiceBank& b : banks) n.push_back(b.name);
  return n;
}

class VoiceBanksTest : public ::testing::Test {
 protected:
  VoiceBanksTest() {
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    unsetenv("KVT_BANK");
    data.write("kvt97/banks/mine/KVT.CFB", {1});     // any letter case
    data.write("kvt97/banks/default/kvt.cfb", {1});  // hidden by the built-in bank
    fs::create_directories(data.path() / "kvt97/banks/empty");
  }
  ~VoiceBanksTest() override {
    unsetenv("XDG_DATA_HOME");
    unsetenv("KVT_BANK");
  }

  ScratchDir data;  // $XDG_DATA_HOME
};

TEST_F(VoiceBanksTest, TheBuiltInBankComesFirstThenTheUsersBanksByName) {
  const std::vector<VoiceBank> banks = frontend::installed_banks();
  ASSERT_FALSE(banks.empty());
  EXPECT_EQ(banks.front().name, "default");
  EXPECT_EQ(banks.front().dir, KVT_ASSET_DIR);
  const std::vector<std::string> named = names(banks);
  EXPECT_EQ(std::count(named.begin(), named.end(), "default"), 1);
  EXPECT_EQ(std::count(named.begin(), named.end(), "empty"), 0);
  const auto mine = std::find_if(banks.begin(), banks.end(), [](const VoiceBank& b) { return b.name == "mine"; });
  ASSERT_NE(mine, banks.end());
  EXPECT_EQ(mine->dir, data / "kvt97/banks/mine");

  EXPECT_EQ(frontend::config_of(banks.front()), KVT_ASSET_DIR "/kvt.cfb");
  EXPECT_TRUE(fs::is_regular_file(frontend::config_of(banks.front())));
  EXPECT_EQ(frontend::voice_dirs_of(banks.front()), (std::vector<std::string>{KVT_ASSET_DIR "/Pcm97", KVT_ASSET_DIR}));
  EXPECT_EQ(frontend::config_of(*mine), data / "kvt97/banks/mine/KVT.CFB");
}

TEST_F(VoiceBanksTest, ABankIsNamedOrGivenAsAFolderAndWhatIsNoBankIsSaid) {
  EXPECT_EQ(frontend::find_bank("mine").dir, data / "kvt97/banks/mine");
  const std::string folder = data / "kvt97/banks/mine";
  EXPECT_EQ(frontend::find_bank(folder).dir, folder);
  EXPECT_EQ(reason("nothing"), "no voice bank named nothing ('kvt bank list' shows them)");
  EXPECT_EQ(reason("empty"), "no voice bank named empty ('kvt bank list' shows them)");
  EXPECT_EQ(reason(data / "kvt97/banks/empty"), data / "kvt97/banks/empty" + ": no voice bank (it holds no kvt.cfb)");
  EXPECT_EQ(reason(data / "missing"), data / "missing" + ": no such folder");
  EXPECT_EQ(reason(data / "kvt97/banks/mine/KVT.CFB"), data / "kvt97/banks/mine/KVT.CFB" + ": no such folder");
}

// One test, because a choice lasts for the rest of the process.
TEST_F(VoiceBanksTest, TheChoiceOutranksKvtBankWhichOutranksTheBuiltInBank) {
  EXPECT_EQ(frontend::current_bank().dir, KVT_ASSET_DIR);
  setenv("KVT_BANK", "mine", 1);
  EXPECT_EQ(frontend::current_bank().dir, data / "kvt97/banks/mine");
  setenv("KVT_BANK", "nothing", 1);
  try {
    frontend::current_bank();
    ADD_FAILURE() << "KVT_BANK naming no bank was taken";
  } catch (const BankError& e) {
    EXPECT_STREQ(e.what(), "KVT_BANK: no voice bank named nothing ('kvt bank list' shows them)");
  }
  frontend::choose_bank(frontend::find_bank("default"));
  EXPECT_EQ(frontend::current_bank().dir, KVT_ASSET_DIR);
}

}  // namespace
}  // namespace kvt::test
