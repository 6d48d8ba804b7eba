// Controls bound to the fields of a settings dialog's working copy: radios
// and check boxes change it at once, edits only when committed (on OK).
// Each control's object name is its decimal control id.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "settings_record.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace kvt::app {

using IntField = std::int32_t Settings::*;
using PathField = SettingsPath Settings::*;

// One radio button: its control id, its text and the value it stands for.
struct RadioChoice {
  int id;
  const char* label;
  std::int32_t value;
};

class SettingsForm {
 public:
  explicit SettingsForm(Settings& ent) : ent_(ent) {}
  SettingsForm(const SettingsForm&) = delete;
  SettingsForm& operator=(const SettingsForm&) = delete;

  // Texts are marked for the catalogue in the "Dialogs" scope.

  // A titled group of radios; the one whose value the field holds is
  // checked (none when no radio has it).
  QGroupBox* radios(const char* title, IntField field, std::span<const RadioChoice> choices);
  // Checked while the field is 1.
  QCheckBox* check_box(int id, const char* label, IntField field);
  // On commit, the first line stored as the path.
  QLineEdit* path_edit(int id, PathField field);
  // Shown as a decimal number; on commit the first line's number is stored
  // when it lies in low..high, else the field stays as it was.
  QLineEdit* number_edit(int id, IntField field, std::int32_t low, std::int32_t high);

  // Stores what the edits hold into the working copy.
  void commit() const;

 private:
  Settings& ent_;
  std::vector<std::function<void()>> commits_;
};

}  // namespace kvt::app
