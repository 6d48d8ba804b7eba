// A program in one process for tests: its own home with configuration and
// runtime folders, the built assets, recorded boxes and cancelled dialogs.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "application.h"
#include "host_fixture.h"
#include "program_paths.h"
#include "recorded_prompts.h"
#include "user_choices.h"

namespace kvt::test {

// Dialogs that are all cancelled.
class NoChoices : public app::UserChoices {
 public:
  bool choose_file(app::OpenKind, app::Settings&, std::string&) override { return false; }
  std::optional<std::string> new_album_name() override { return std::nullopt; }
  std::optional<std::string> album_rename(const std::string&) override { return std::nullopt; }
  bool edit_settings(app::SettingsDialogKind, app::Settings&) override { return false; }
};

class ApplicationFixture : public testing::Test {
 protected:
  ApplicationFixture() : paths(app::program_paths_in(KVT_ASSET_DIR, home / "config")) {
    std::filesystem::create_directories(home / "runtime");
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
  }
  ~ApplicationFixture() override { unsetenv("XDG_RUNTIME_DIR"); }

  std::unique_ptr<app::Application> started() {
    auto application = std::make_unique<app::Application>(paths, &prompts, &choices);
    EXPECT_FALSE(application->start({}).has_value());
    return application;
  }

  ScratchDir home;
  app::ProgramPaths paths;
  RecordedPrompts prompts;
  NoChoices choices;
};

}  // namespace kvt::test
