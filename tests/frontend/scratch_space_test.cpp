// Scratch space: a private directory per process that goes with its owner,
// and what processes now gone left behind is cleared at the next start.
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "frontend_fixture.h"
#include "scratch_space.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;
using frontend::ScratchSpace;

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

using FrontendScratch = RuntimeDirTest;

TEST_F(FrontendScratch, IsPrivateNamedAfterItsOwnerAndRemovedWithItsContents) {
  std::string made;
  {
    const ScratchSpace scratch;
    made = scratch.dir();
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(fs::path(made).parent_path(), runtime.path());
    const std::string name = fs::path(made).filename().string();
    ASSERT_EQ(name.size(), std::string("kvt97--XXXXXX").size() + std::to_string(getpid()).size());
    EXPECT_EQ(name.substr(0, name.size() - 6), "kvt97-" + std::to_string(getpid()) + "-");
    struct stat st {};
    ASSERT_EQ(stat(made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    runtime.write(fs::path(made).filename().string() + "/inner/kvt97.kvt", {1, 2, 3});
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_TRUE(runtime.entries().empty());
}

TEST_F(FrontendScratch, WithoutAnAbsoluteRuntimeDirectoryItGoesToTheTemporaryDirectory) {
  const ScratchDir temp;
  setenv("TMPDIR", temp.path().c_str(), 1);
  for (const char* runtime_dir : {"relative/run", ""}) {
    SCOPED_TRACE(runtime_dir);
    setenv("XDG_RUNTIME_DIR", runtime_dir, 1);
    const ScratchSpace scratch;
    EXPECT_EQ(fs::path(scratch.dir()).parent_path(), temp.path());
  }
  unsetenv("TMPDIR");
}

TEST_F(FrontendScratch, NoDirectoryWhereNoneCanBeMade) {
  setenv("XDG_RUNTIME_DIR", (runtime / "missing").c_str(), 1);
  const ScratchSpace scratch;
  EXPECT_EQ(scratch.dir(), "");
}

TEST_F(FrontendScratch, DirectoriesOfProcessesNowGoneAreRemovedAtTheNextStart) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string gone = std::to_string(child), alive = std::to_string(getpid());
  runtime.write("kvt97-" + gone + "-AbC123/kvt97.kvt", {1});
  runtime.write("kvt97-" + alive + "-AbC123/kvt97.kvt", {1});
  runtime.write("kvt97-" + gone + "-file00", {1});             // not a directory
  runtime.write("kvt97-" + gone + "-AbC1234/kvt97.kvt", {1});  // not a name of ours
  runtime.write("other-" + gone + "-AbC123/kvt97.kvt", {1});
  const ScratchDir elsewhere;
  elsewhere.write("kept", {1});
  fs::create_directory_symlink(elsewhere.path(), runtime / ("kvt97-" + gone + "-link00"));

  const ScratchSpace scratch;
  std::vector<std::string> left = runtime.entries();
  const auto own = std::find(left.begin(), left.end(), fs::path(scratch.dir()).filename().string());
  ASSERT_NE(own, left.end());
  left.erase(own);
  EXPECT_EQ(sorted(left),
            sorted({"kvt97-" + alive + "-AbC123", "kvt97-" + gone + "-file00", "kvt97-" + gone + "-AbC1234",
                    "other-" + gone + "-AbC123", "kvt97-" + gone + "-link00"}));
  EXPECT_EQ(elsewhere.entries(), std::vector<std::string>{"kept"}) << "a link is not followed";
}

}  // namespace
}  // namespace kvt::test
