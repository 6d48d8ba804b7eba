// The open dialogs: the generic one with a filter for every kind of song
// and the four of one type each. They start in the settings' last
// directory; choosing a file makes its directory the next start.
#pragma once

#include <QFileDialog>
#include <memory>
#include <string>

#include "user_choices.h"

namespace kvt::app {

class OpenDialogs {
 public:
  // The dialog of `kind`, not yet shown: its filters (the generic dialog
  // with the filter chosen last), en.last_dir, `chosen` (or the kind's
  // pattern when empty) as the file name, and only existing files.
  std::unique_ptr<QFileDialog> make(OpenKind kind, const Settings& en, const std::string& chosen, QWidget* owner) const;

  // After OK: `path` goes to `chosen`, its directory to en.last_dir (unless
  // longer than a settings path holds), and for the generic dialog
  // `selected_filter` is remembered.
  void accept_path(OpenKind kind, const std::string& path, const std::string& selected_filter, Settings& en,
                   std::string& chosen);

  // Shows the dialog modally; true when a file was chosen.
  bool choose(OpenKind kind, Settings& en, std::string& chosen, QWidget* owner);

 private:
  QString any_filter_;  // the generic dialog's filter; empty: its first
};

}  // namespace kvt::app
