#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app_fonts.h"
#include "dialog_text.h"
#include "settings_pages.h"

namespace kvt::app {

namespace {

// Wide enough to show a typical voice directory whole.
constexpr int kPathColumns = 48;

QLineEdit* wide(QLineEdit* edit) {
  edit->setMinimumWidth(kCellWidth * kPathColumns);
  return edit;
}

}  // namespace

SettingsPage voice_dirs_page(SettingsForm& form) {
  auto* help =
      new QLabel(dialog_text(QT_TRANSLATE_NOOP("Dialogs",
                                               "音色波形データ(*.KVW)が入っているディレクトリを指定してください。\n"
                                               "ワイルドカードも使用できます。\n"
                                               "例：「c:\\kvt97\\pcm*」「c:\\kvt97\\*」")));
  auto* dirs = new QFormLayout;
  dirs->addRow(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "ディレクトリ１")),
               wide(form.path_edit(270, &Settings::pcm_dir1)));
  dirs->addRow(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "ディレクトリ２")),
               wide(form.path_edit(271, &Settings::pcm_dir2)));
  auto* body = new QVBoxLayout;
  body->addWidget(help);
  body->addLayout(dirs);
  return {QT_TRANSLATE_NOOP("Dialogs", "音色波形データのディレクトリ"), body};
}

}  // namespace kvt::app
