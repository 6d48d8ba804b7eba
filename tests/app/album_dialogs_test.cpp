// The create and rename dialogs: their texts, OK and cancel, and the name
// given back as the album buffer stores it, cut to 255 bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "album_dialogs.h"

namespace kvt::test {
namespace {

using app::AlbumDialogKind;
using app::AlbumNameDialog;

QLineEdit* field(const QDialog& dialog, const char* name) { return dialog.findChild<QLineEdit*>(name); }

void click(const QDialog& dialog, const char* button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// The name stored after typing `typed` into the create dialog and OK.
std::string stored(const QString& typed) {
  AlbumNameDialog dialog(AlbumDialogKind::create, {});
  field(dialog, "602")->setText(typed);
  return dialog.name_bytes();
}

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += piece;
  return text;
}

TEST(AlbumDialogs, TheCreateDialogStartsEmpty) {
  AlbumNameDialog dialog(AlbumDialogKind::create, {});
  EXPECT_EQ(dialog.windowTitle(), QString("アルバムの作成"));
  ASSERT_NE(dialog.findChild<QLabel*>(), nullptr);
  EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QString("新しく作成するアルバム名を入力して下さい"));
  ASSERT_NE(field(dialog, "602"), nullptr);
  EXPECT_EQ(field(dialog, "602")->text(), QString());
  EXPECT_EQ(dialog.findChild<QPushButton*>("1")->text(), QString("終了"));
  EXPECT_EQ(dialog.findChild<QPushButton*>("2")->text(), QString("キャンセル"));
}

TEST(AlbumDialogs, TheRenameDialogShowsTheCurrentName) {
  AlbumNameDialog dialog(AlbumDialogKind::rename, "\x82\xA0 disc 2");
  EXPECT_EQ(dialog.windowTitle(), QString("アルバム名の変更"));
  EXPECT_EQ(dialog.findChild<QLabel*>()->text(), QString("変更後の名前を入力して下さい"));
  ASSERT_NE(field(dialog, "603"), nullptr);
  EXPECT_EQ(field(dialog, "603")->text(), QString("あ disc 2"));
  EXPECT_EQ(dialog.name_bytes(), "\x82\xA0 disc 2") << "unchanged, the same bytes come back";
}

TEST(AlbumDialogs, OkAcceptsAndCancelRejects) {
  AlbumNameDialog ok(AlbumDialogKind::create, {});
  QTest::keyClicks(field(ok, "602"), "Live");
  click(ok, "1");
  EXPECT_EQ(ok.result(), QDialog::Accepted);
  EXPECT_EQ(ok.name_bytes(), "Live");

  AlbumNameDialog cancel(AlbumDialogKind::rename, "old");
  click(cancel, "2");
  EXPECT_EQ(cancel.result(), QDialog::Rejected);
}

TEST(AlbumDialogs, TheNameIsTheFirstLineInShiftJis) {
  EXPECT_EQ(stored(""), "");
  EXPECT_EQ(stored("新しいアルバム"), "\x90\x56\x82\xB5\x82\xA2\x83\x41\x83\x8B\x83\x6F\x83\x80");
  EXPECT_EQ(stored("first\nsecond"), "first");
  EXPECT_EQ(stored("Caf\u00e9"), "Caf\xC3\xA9") << "no Shift-JIS for it: kept as UTF-8";
}

TEST(AlbumDialogs, TheNameIsCutTo255BytesBetweenCharacters) {
  EXPECT_EQ(stored(QString(300, 'a')), std::string(255, 'a'));
  EXPECT_EQ(stored(QString(200, QChar(0x3042))), repeated("\x82\xA0", 127)) << "254 bytes: a 128th would split";
  EXPECT_EQ(stored("a" + QString(200, QChar(0x3042))), "a" + repeated("\x82\xA0", 127));
  EXPECT_EQ(stored(QString::fromUtf8(repeated("\xF0\x9F\x8E\xB5", 70))), repeated("\xF0\x9F\x8E\xB5", 63));
  EXPECT_EQ(stored(QString(130, QChar(0x3042)) + QString::fromUtf8("\xF0\x9F\x8E\xB5")), repeated("\x82\xA0", 127))
      << "what is cut off cannot keep the rest from Shift-JIS";
}

// The dialog runs modally; `answer` drives it once it is up.
template <typename Answer>
void when_shown(Answer answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(*dialog);
  });
}

TEST(AlbumDialogs, AskingGivesTheNameOrNothing) {
  when_shown([](QDialog& dialog) {
    field(dialog, "602")->setText("あ");
    click(dialog, "1");
  });
  EXPECT_EQ(app::ask_new_album_name(nullptr), std::optional<std::string>("\x82\xA0"));

  when_shown([](QDialog& dialog) { click(dialog, "1"); });
  EXPECT_EQ(app::ask_new_album_name(nullptr), std::optional<std::string>("")) << "an empty name is a name";

  when_shown([](QDialog& dialog) {
    field(dialog, "603")->setText("new");
    click(dialog, "2");
  });
  EXPECT_EQ(app::ask_album_rename("old", nullptr), std::nullopt);

  when_shown([](QDialog& dialog) {
    field(dialog, "603")->setText(field(dialog, "603")->text() + "!");
    click(dialog, "1");
  });
  EXPECT_EQ(app::ask_album_rename("old", nullptr), std::optional<std::string>("old!"));
}

}  // namespace
}  // namespace kvt::test
