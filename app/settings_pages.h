// The body of each settings dialog: its caption and its controls, bound to
// the dialog's working copy through `form`.
#pragma once

#include "settings_form.h"

class QLayout;

namespace kvt::app {

// `caption` is marked for the catalogue in the "Dialogs" scope.
struct SettingsPage {
  const char* caption;
  QLayout* body;
};

SettingsPage play_settings_page(SettingsForm& form);  // "crowddlg"
SettingsPage voice_dirs_page(SettingsForm& form);     // "crowddlg2"
SettingsPage midi_settings_page(SettingsForm& form);  // "crowddlg_mid"
SettingsPage wav_settings_page(SettingsForm& form);   // "crowddlg4"
SettingsPage sound_source_page(SettingsForm& form);   // "crowddlg5"

}  // namespace kvt::app
