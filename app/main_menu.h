// The main window's menu bar: every item carries its command id, and the
// stop item (id 110) comes and goes before "終了" while something plays or
// renders.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace kvt::app {

class MainMenu {
 public:
  // Fills `bar`; `command` runs a chosen item's id.
  MainMenu(QMenuBar* bar, std::function<void(int)> command);

  // Inserts the stop item with `text` ("演奏中止(&A)" or "変換中止(&A)").
  void show_stop_item(const QString& text);
  void hide_stop_item();
  // The conversion and settings menus, greyed while a WAVE file is written.
  void set_settings_enabled(bool enabled);
  // The item with `id`, or null (also the stop item while it is shown).
  QAction* item(int id) const;

 private:
  QAction* add(QMenu* menu, int id, const QString& text);

  QMenuBar* bar_;
  std::function<void(int)> command_;
  QMenu* file_menu_ = nullptr;
  QMenu* convert_menu_ = nullptr;
  QMenu* settings_menu_ = nullptr;
  QAction* exit_item_ = nullptr;
  QAction* stop_item_ = nullptr;
};

}  // namespace kvt::app
