// The user's choices made in the program's own dialogs.
#pragma once

#include "open_dialogs.h"
#include "user_choices.h"

class QWidget;

namespace kvt::app {

class DialogChoices : public UserChoices {
 public:
  void set_owner(QWidget* owner) { owner_ = owner; }

  bool choose_file(OpenKind kind, Settings& en, std::string& chosen) override;
  std::optional<std::string> new_album_name() override;
  std::optional<std::string> album_rename(const std::string& current) override;
  bool edit_settings(SettingsDialogKind kind, Settings& en) override;

 private:
  QWidget* owner_ = nullptr;
  OpenDialogs open_dialogs_;  // remembers the generic dialog's filter
};

}  // namespace kvt::app
