#include "dialog_choices.h"

#include "album_dialogs.h"
#include "settings_dialog.h"

namespace kvt::app {

bool DialogChoices::choose_file(OpenKind kind, Settings& en, std::string& chosen) {
  return open_dialogs_.choose(kind, en, chosen, owner_);
}

std::optional<std::string> DialogChoices::new_album_name() { return ask_new_album_name(owner_); }

std::optional<std::string> DialogChoices::album_rename(const std::string& current) {
  return ask_album_rename(current, owner_);
}

bool DialogChoices::edit_settings(SettingsDialogKind kind, Settings& en) {
  return app::edit_settings(kind, en, owner_);
}

}  // namespace kvt::app
