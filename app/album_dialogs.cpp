#include "album_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string_view>

#include "app_fonts.h"
#include "dialog_text.h"
#include "display_text.h"
#include "utf8_text.h"

namespace kvt::app {

namespace {

struct DialogTexts {
  const char* title;
  const char* prompt;
  const char* field_name;
};

DialogTexts texts_of(AlbumDialogKind kind) {
  if (kind == AlbumDialogKind::create) {
    return {QT_TRANSLATE_NOOP("Dialogs", "アルバムの作成"),
            QT_TRANSLATE_NOOP("Dialogs", "新しく作成するアルバム名を入力して下さい"), "602"};
  }
  return {QT_TRANSLATE_NOOP("Dialogs", "アルバム名の変更"),
          QT_TRANSLATE_NOOP("Dialogs", "変更後の名前を入力して下さい"), "603"};
}

QPushButton* add_button(QHBoxLayout* row, const char* text, const char* name) {
  auto* button = new QPushButton(dialog_text(text));
  button->setObjectName(QString::fromLatin1(name));
  row->addWidget(button);
  return button;
}

// The longest start of `line`, in whole characters, whose stored bytes fit.
// A stored character takes at least a third of its UTF-8 bytes, so no
// longer start than three times the limit can fit.
std::string stored_name(std::string_view line) {
  std::size_t keep = utf8_prefix(line, 3 * kAlbumNameMax);
  std::string stored = frontend::to_shift_jis(line.substr(0, keep));
  while (stored.size() > kAlbumNameMax) {
    keep = utf8_prefix(line, keep - 1);
    stored = frontend::to_shift_jis(line.substr(0, keep));
  }
  return stored;
}

std::optional<std::string> ask(AlbumDialogKind kind, const std::string& current_name_bytes, QWidget* owner) {
  AlbumNameDialog dialog(kind, current_name_bytes, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.name_bytes();
}

}  // namespace

AlbumNameDialog::AlbumNameDialog(AlbumDialogKind kind, const std::string& current_name_bytes, QWidget* owner)
    : QDialog(owner), field_(new QLineEdit) {
  const DialogTexts texts = texts_of(kind);
  setWindowTitle(dialog_text(texts.title));
  setFont(cell_font());
  field_->setObjectName(QString::fromLatin1(texts.field_name));
  field_->setText(QString::fromStdString(frontend::to_utf8(current_name_bytes)));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  connect(add_button(buttons, QT_TRANSLATE_NOOP("Dialogs", "キャンセル"), "2"), &QPushButton::clicked, this,
          &QDialog::reject);
  QPushButton* ok = add_button(buttons, QT_TRANSLATE_NOOP("Dialogs", "終了"), "1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(dialog_text(texts.prompt)));
  layout->addWidget(field_);
  layout->addLayout(buttons);
}

std::string AlbumNameDialog::name_bytes() const {
  const std::string text = field_->text().toStdString();
  return stored_name(std::string_view(text).substr(0, text.find_first_of("\r\n")));
}

std::optional<std::string> ask_new_album_name(QWidget* owner) { return ask(AlbumDialogKind::create, {}, owner); }

std::optional<std::string> ask_album_rename(const std::string& current_name_bytes, QWidget* owner) {
  return ask(AlbumDialogKind::rename, current_name_bytes, owner);
}

}  // namespace kvt::app
