#include "main_menu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace kvt::app {

namespace {

constexpr int kStopId = 110;
constexpr const char* kContext = "MainMenu";
// Where an item keeps its text as written in the code, to be translated
// again when the language changes.
constexpr const char* kSourceText = "sourceText";

QString translated(const char* text) { return QCoreApplication::translate(kContext, text); }

void label(QAction* action, const char* text) {
  action->setProperty(kSourceText, QByteArray(text));
  action->setText(translated(text));
}

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, std::function<void(int)> command) : bar_(bar), command_(std::move(command)) {
  file_menu_ = add_menu(bar, QT_TRANSLATE_NOOP("MainMenu", "ファイル(&F)"));
  add(file_menu_, 106, QT_TRANSLATE_NOOP("MainMenu", "ﾌｧｲﾙを開く(&O)"));
  exit_item_ = add(file_menu_, 400, QT_TRANSLATE_NOOP("MainMenu", "終了(&X)"));

  QMenu* convert = convert_menu_ = add_menu(bar, QT_TRANSLATE_NOOP("MainMenu", "変換(&C)"));
  add(convert, 120, QT_TRANSLATE_NOOP("MainMenu", "ﾏｸﾛﾌｧｲﾙ (*.MML) -> KVTﾃﾞｰﾀ (*.KVT) (&A)..."));
  add(convert, 121, QT_TRANSLATE_NOOP("MainMenu", "MIDIﾃﾞｰﾀ (*.MID) -> KVTﾃﾞｰﾀ (*.KVT) (&B)..."));
  add(convert, 122, QT_TRANSLATE_NOOP("MainMenu", "KVTﾃﾞｰﾀ (*.KVT) -> ｳｪｰﾌﾞﾃﾞｰﾀ (*.WAV) (&C)..."));
  add(convert, 123, QT_TRANSLATE_NOOP("MainMenu", "RCPﾃﾞｰﾀ (*.RCP) -> MIDIﾃﾞｰﾀ (*.MID) (&D)..."));
  add(convert, 124, QT_TRANSLATE_NOOP("MainMenu", "RCPﾃﾞｰﾀ (*.RCP) -> KVTﾃﾞｰﾀ (*.KVT) (&E)..."));

  QMenu* settings = settings_menu_ = add_menu(bar, QT_TRANSLATE_NOOP("MainMenu", "設定(&S)"));
  add(settings, 140, QT_TRANSLATE_NOOP("MainMenu", "演奏状態の設定(&P)..."));
  add(settings, 160, QT_TRANSLATE_NOOP("MainMenu", "音色波形データのディレクトリ(&D)..."));
  add(settings, 180, QT_TRANSLATE_NOOP("MainMenu", "MIDIファイルからの変換時の設定(&C)..."));
  add(settings, 190, QT_TRANSLATE_NOOP("MainMenu", "WAVファイルへの変換時の設定(&W)..."));
  settings->addSeparator();
  add_language_menu(settings);

  QMenu* help = add_menu(bar, QT_TRANSLATE_NOOP("MainMenu", "ヘルプ(&H)"));
  add(help, 300, QT_TRANSLATE_NOOP("MainMenu", "目次(&C)"));
  add(help, 301, QT_TRANSLATE_NOOP("MainMenu", "ＭＭＬ初心者向けマニュアル(&M)"));
  add(help, 350, QT_TRANSLATE_NOOP("MainMenu", "バージョン情報(&V)..."));
}

// The languages are named in their own words, unmarked for the
// catalogue, so that each can be found whichever is shown.
void MainMenu::add_language_menu(QMenu* settings) {
  QMenu* languages = add_menu(settings, QT_TRANSLATE_NOOP("MainMenu", "表示言語(&L)"));
  auto* group = new QActionGroup(languages);
  const char* const names[] = {QT_TRANSLATE_NOOP("MainMenu", "システムに合わせる(&S)"), "日本語(&J)", "&English"};
  for (std::size_t k = 0; k < kLanguageIds.size(); ++k) {
    QAction* item = add(languages, kLanguageIds[k], names[k]);
    item->setCheckable(true);
    group->addAction(item);
  }
}

QMenu* MainMenu::add_menu(QWidget* parent, const char* text) {
  auto* menu = new QMenu(parent);
  label(menu->menuAction(), text);
  if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
    bar->addMenu(menu);
  } else {
    static_cast<QMenu*>(parent)->addMenu(menu);
  }
  return menu;
}

QAction* MainMenu::add(QMenu* menu, int id, const char* text) {
  auto* action = new QAction(menu);
  label(action, text);
  action->setData(id);
  QObject::connect(action, &QAction::triggered, [this, id] { command_(id); });
  menu->addAction(action);
  return action;
}

void MainMenu::show_stop_item(const char* text) {
  hide_stop_item();
  stop_item_ = new QAction(file_menu_);
  label(stop_item_, text);
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

void MainMenu::check_language(Language language) {
  item(kLanguageIds[static_cast<std::size_t>(language)])->setChecked(true);
}

namespace {

void relabel_all(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    const QByteArray source = action->property(kSourceText).toByteArray();
    if (!source.isEmpty()) action->setText(translated(source.constData()));
    if (action->menu() != nullptr) relabel_all(action->menu()->actions());
  }
}

QAction* find_item(const QList<QAction*>& actions, int id) {
  for (QAction* action : actions) {
    if (action->menu() != nullptr) {
      if (QAction* found = find_item(action->menu()->actions(), id)) return found;
    } else if (action->data().toInt() == id) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

void MainMenu::retranslate() { relabel_all(bar_->actions()); }

QAction* MainMenu::item(int id) const { return find_item(bar_->actions(), id); }

}  // namespace kvt::app
