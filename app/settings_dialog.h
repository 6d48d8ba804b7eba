// The settings dialogs: each edits a working copy `ent` of the settings,
// which goes back to the settings only through "設定終了".
#pragma once

#include <QDialog>

#include "settings_form.h"
#include "user_choices.h"

namespace kvt::app {

class SettingsDialog : public QDialog {
 public:
  SettingsDialog(SettingsDialogKind kind, const Settings& en, QWidget* parent = nullptr);

  // `ent`: what the controls have set so far (the edits only after OK).
  const Settings& working_copy() const { return ent_; }

  // Stores the edits into the working copy, then closes as accepted.
  void accept() override;

 private:
  Settings ent_;
  SettingsForm form_{ent_};
};

// Runs the dialog modally over `owner`; on "設定終了" the working copy
// replaces `en` and true, on "キャンセル" `en` stays as it was.
bool edit_settings(SettingsDialogKind kind, Settings& en, QWidget* owner);

}  // namespace kvt::app
