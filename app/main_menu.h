// The main window's menu bar: every item carries its command id, and the
// stop item (id 110) comes and goes before "終了" while something plays or
// renders.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "language.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kvt::app {

// The items of the language menu, in the order of `Language`.
inline constexpr std::array<int, 3> kLanguageIds = {700, 701, 702};

class MainMenu {
 public:
  // Fills `bar`; `command` runs a chosen item's id.
  MainMenu(QMenuBar* bar, std::function<void(int)> command);

  // Inserts the stop item with `text` ("演奏中止(&A)" or "変換中止(&A)"),
  // marked for the catalogue in the "MainMenu" scope.
  void show_stop_item(const char* text);
  void hide_stop_item();
  // The conversion and settings menus, greyed while a WAVE file is written.
  void set_settings_enabled(bool enabled);
  // Checks the language menu's item of `language`.
  void check_language(Language language);
  // Every item's text again, in the language now installed.
  void retranslate();
  // The item with `id`, or null (also the stop item while it is shown).
  QAction* item(int id) const;

 private:
  QMenu* add_menu(QWidget* parent, const char* text);
  QAction* add(QMenu* menu, int id, const char* text);
  void add_language_menu(QMenu* settings);

  QMenuBar* bar_;
  std::function<void(int)> command_;
  QMenu* file_menu_ = nullptr;
  QMenu* convert_menu_ = nullptr;
  QMenu* settings_menu_ = nullptr;
  QAction* exit_item_ = nullptr;
  QAction* stop_item_ = nullptr;
};

}  // namespace kvt::app
