// What the user chooses in the program's dialogs: files, album names and
// settings, behind an interface so that the main window can be driven
// without a screen.
#pragma once

#include <optional>
#include <string>

#include "settings_record.h"

namespace kvt::app {

// The open dialogs: the generic one and the four of one type each.
enum class OpenKind { any, mml, midi, song, rcp };

// The settings dialogs, by what they set.
enum class SettingsDialogKind {
  play,          // "crowddlg"
  voice_dirs,    // "crowddlg2"
  midi,          // "crowddlg_mid"
  wav,           // "crowddlg4"
  sound_source,  // "crowddlg5"
};

class UserChoices {
 public:
  virtual ~UserChoices() = default;
  // An open dialog starting in en.last_dir with `chosen` as its name; on OK
  // the path goes to `chosen`, its directory to en.last_dir, and true.
  virtual bool choose_file(OpenKind kind, Settings& en, std::string& chosen) = 0;
  // The create-album dialog: the new name, or nothing when cancelled.
  virtual std::optional<std::string> new_album_name() = 0;
  // The rename dialog, starting with `current`.
  virtual std::optional<std::string> album_rename(const std::string& current) = 0;
  // A settings dialog over a working copy of en; true when it was copied back.
  virtual bool edit_settings(SettingsDialogKind kind, Settings& en) = 0;
};

}  // namespace kvt::app
