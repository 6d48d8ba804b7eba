// Dialogs that are all cancelled: for tests of what happens around them.
#pragma once

#include "user_choices.h"

namespace kvt::test {

class NoChoices : public app::UserChoices {
 public:
  bool choose_file(app::OpenKind, app::Settings&, std::string&) override { return false; }
  std::optional<std::string> new_album_name() override { return std::nullopt; }
  std::optional<std::string> album_rename(const std::string&) override { return std::nullopt; }
  bool edit_settings(app::SettingsDialogKind, app::Settings&) override { return false; }
};

}  // namespace kvt::test
