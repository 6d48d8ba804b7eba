// The assets are found beside whatever program of bin/ runs, else where
// they are installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "asset_paths.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;

TEST(FrontendAssets, ThisProgramInTheBuildTreeFindsTheBuildTreesAssets) {
  EXPECT_EQ(frontend::asset_dir(), KVT_ASSET_DIR);
}

TEST(FrontendAssets, AnyProgramInBinFindsThemBesideIt) {
  const ScratchDir tree;
  const std::string program = tree.write("bin/kvt97", {0x7F, 'E', 'L', 'F'});
  EXPECT_EQ(frontend::asset_dir_for(program), KVT_INSTALLED_ASSETS) << "no assets beside it yet";
  fs::create_directories(tree / "share/kvt97");
  EXPECT_EQ(frontend::asset_dir_for(program), tree / "share/kvt97");
  EXPECT_EQ(frontend::asset_dir_for(tree.write("bin/kvt", {})), tree / "share/kvt97");
}

TEST(FrontendAssets, AFileInTheirPlaceIsNoAssetFolder) {
  const ScratchDir tree;
  tree.write("share/kvt97", {1});
  EXPECT_EQ(frontend::asset_dir_for(tree / "bin/kvt97"), KVT_INSTALLED_ASSETS);
}

}  // namespace
}  // namespace kvt::test
