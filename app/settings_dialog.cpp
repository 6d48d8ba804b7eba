#include "settings_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_fonts.h"
#include "dialog_text.h"
#include "settings_pages.h"

namespace kvt::app {

namespace {

// In the order of SettingsDialogKind.
constexpr SettingsPage (*kPages[])(SettingsForm&) = {
    play_settings_page, voice_dirs_page, midi_settings_page, wav_settings_page, sound_source_page,
};

// "設定終了" (id 1) and "キャンセル" (id 2).
QDialogButtonBox* closing_buttons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok =
      buttons->addButton(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "設定終了")), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("1"));
  ok->setDefault(true);
  buttons->addButton(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "キャンセル")), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("2"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

SettingsDialog::SettingsDialog(SettingsDialogKind kind, const Settings& en, QWidget* parent)
    : QDialog(parent), ent_(en) {
  setFont(cell_font());
  const SettingsPage page = kPages[static_cast<int>(kind)](form_);
  setWindowTitle(dialog_text(page.caption));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(page.body);
  layout->addWidget(closing_buttons(this));
}

void SettingsDialog::accept() {
  form_.commit();
  QDialog::accept();
}

bool edit_settings(SettingsDialogKind kind, Settings& en, QWidget* owner) {
  SettingsDialog dialog(kind, en, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  en = dialog.working_copy();
  return true;
}

}  // namespace kvt::app
