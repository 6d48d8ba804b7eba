#include "main_menu.h"

#include <QMenu>
#include <QMenuBar>

namespace kvt::app {

namespace {
constexpr int kStopId = 110;
}

MainMenu::MainMenu(QMenuBar* bar, std::function<void(int)> command) : bar_(bar), command_(std::move(command)) {
  file_menu_ = bar->addMenu(QStringLiteral("ファイル(&F)"));
  add(file_menu_, 106, QStringLiteral("ﾌｧｲﾙを開く(&O)"));
  exit_item_ = add(file_menu_, 400, QStringLiteral("終了(&X)"));

  QMenu* convert = convert_menu_ = bar->addMenu(QStringLiteral("変換(&C)"));
  add(convert, 120, QStringLiteral("ﾏｸﾛﾌｧｲﾙ (*.MML) -> KVTﾃﾞｰﾀ (*.KVT) (&A)..."));
  add(convert, 121, QStringLiteral("MIDIﾃﾞｰﾀ (*.MID) -> KVTﾃﾞｰﾀ (*.KVT) (&B)..."));
  add(convert, 122, QStringLiteral("KVTﾃﾞｰﾀ (*.KVT) -> ｳｪｰﾌﾞﾃﾞｰﾀ (*.WAV) (&C)..."));
  add(convert, 123, QStringLiteral("RCPﾃﾞｰﾀ (*.RCP) -> MIDIﾃﾞｰﾀ (*.MID) (&D)..."));
  add(convert, 124, QStringLiteral("RCPﾃﾞｰﾀ (*.RCP) -> KVTﾃﾞｰﾀ (*.KVT) (&E)..."));

  QMenu* settings = settings_menu_ = bar->addMenu(QStringLiteral("設定(&S)"));
  add(settings, 140, QStringLiteral("演奏状態の設定(&P)..."));
  add(settings, 160, QStringLiteral("音色波形データのディレクトリ(&D)..."));
  add(settings, 180, QStringLiteral("MIDIファイルからの変換時の設定(&C)..."));
  add(settings, 190, QStringLiteral("WAVファイルへの変換時の設定(&W)..."));

  QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  add(help, 300, QStringLiteral("目次(&C)"));
  add(help, 301, QStringLiteral("ＭＭＬ初心者向けマニュアル(&M)"));
  add(help, 350, QStringLiteral("バージョン情報(&V)..."));
}

QAction* MainMenu::add(QMenu* menu, int id, const QString& text) {
  QAction* action = menu->addAction(text);
  action->setData(id);
  QObject::connect(action, &QAction::triggered, [this, id] { command_(id); });
  return action;
}

void MainMenu::show_stop_item(const QString& text) {
  hide_stop_item();
  stop_item_ = new QAction(text, file_menu_);
  stop_item_->setData(kStopId);
  QObject::connect(stop_item_, &QAction::triggered, [this] { command_(kStopId); });
  file_menu_->insertAction(exit_item_, stop_item_);
}

void MainMenu::hide_stop_item() {
  if (stop_item_ == nullptr) return;
  file_menu_->removeAction(stop_item_);
  stop_item_->deleteLater();  // it may be the item being triggered
  stop_item_ = nullptr;
}

void MainMenu::set_settings_enabled(bool enabled) {
  convert_menu_->setEnabled(enabled);
  settings_menu_->setEnabled(enabled);
}

QAction* MainMenu::item(int id) const {
  for (QAction* top : bar_->actions()) {
    if (top->menu() == nullptr) continue;
    for (QAction* action : top->menu()->actions()) {
      if (action->data().toInt() == id) return action;
    }
  }
  return nullptr;
}

}  // namespace kvt::app
