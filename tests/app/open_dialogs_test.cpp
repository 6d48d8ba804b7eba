#include "open_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace kvt::app {
namespace {

const QStringList kAnyFilters = {"KVTﾃﾞｰﾀ (*.kvt)", "MIDIﾃﾞｰﾀ (*.mid)", "WAVﾃﾞｰﾀ (*.wav)", "MMLﾃﾞｰﾀ (*.mml)",
                                 "RCPﾃﾞｰﾀ (*.rcp)"};

// Lists as one readable line, so that a failure shows the names.
std::string joined(const QStringList& list) { return list.join(QStringLiteral(" | ")).toStdString(); }

// A folder of songs that is the settings' last directory.
class OpenDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"SONG.KVT", "other.txt", "tune.kvt", "tune.mid"}) {
      QFile file(dir.filePath(QString::fromUtf8(name)));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    set_path_text(en.last_dir, folder());
  }

  std::string folder() const { return dir.path().toStdString(); }

  // The names the dialog lists once its folder is read.
  static std::string listed(const QFileDialog& dialog) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (model == nullptr || view == nullptr) return "no list";
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    loaded.wait(5000);
    QTest::qWait(100);  // rows arrive in batches after the folder is read
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
      names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return joined(names);
  }

  QTemporaryDir dir;
  Settings en;
  std::string chosen;
  OpenDialogs dialogs;
};

TEST_F(OpenDialogsTest, GenericDialogStartsInTheLastDirectory) {
  const auto dialog = dialogs.make(OpenKind::any, en, chosen, nullptr);
  EXPECT_EQ(joined(dialog->nameFilters()), joined(kAnyFilters));
  EXPECT_EQ(dialog->selectedNameFilter().toStdString(), kAnyFilters.front().toStdString());
  EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder());
  EXPECT_EQ(joined(dialog->selectedFiles()), dir.filePath(QStringLiteral("*.kvt")).toStdString());
  EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
}

TEST_F(OpenDialogsTest, TypedDialogsHaveOneFilterAndPattern) {
  const std::pair<OpenKind, QString> typed[] = {
      {OpenKind::mml, "*.mml"}, {OpenKind::midi, "*.mid"}, {OpenKind::song, "*.kvt"}, {OpenKind::rcp, "*.rcp"}};
  for (const auto& [kind, pattern] : typed) {
    const auto dialog = dialogs.make(kind, en, chosen, nullptr);
    EXPECT_EQ(joined(dialog->nameFilters()), pattern.toStdString());
    EXPECT_EQ(joined(dialog->selectedFiles()), dir.filePath(pattern).toStdString());
  }
}

TEST_F(OpenDialogsTest, ChosenFileIsTheInitialName) {
  chosen = dir.filePath(QStringLiteral("tune.mid")).toStdString();
  const auto dialog = dialogs.make(OpenKind::midi, en, chosen, nullptr);
  EXPECT_EQ(joined(dialog->selectedFiles()), chosen);
}

TEST_F(OpenDialogsTest, GenericDialogRemembersItsFilter) {
  dialogs.accept_path(OpenKind::any, "/a/tune.mid", "MIDIﾃﾞｰﾀ (*.mid)", en, chosen);
  EXPECT_EQ(dialogs.make(OpenKind::any, en, chosen, nullptr)->selectedNameFilter().toStdString(),
            kAnyFilters[1].toStdString());
  dialogs.accept_path(OpenKind::rcp, "/a/x.rcp", "*.rcp", en, chosen);
  EXPECT_EQ(dialogs.make(OpenKind::any, en, chosen, nullptr)->selectedNameFilter().toStdString(),
            kAnyFilters[1].toStdString());
  EXPECT_EQ(dialogs.make(OpenKind::rcp, en, chosen, nullptr)->selectedNameFilter().toStdString(), "*.rcp");
  EXPECT_EQ(OpenDialogs().make(OpenKind::any, en, chosen, nullptr)->selectedNameFilter().toStdString(),
            kAnyFilters[0].toStdString());
}

TEST_F(OpenDialogsTest, FiltersIgnoreLetterCase) {
  EXPECT_EQ(listed(*dialogs.make(OpenKind::song, en, chosen, nullptr)), "SONG.KVT | tune.kvt");
  EXPECT_EQ(listed(*dialogs.make(OpenKind::midi, en, chosen, nullptr)), "tune.mid");
}

TEST(OpenDialogsAccept, PathAndItsDirectoryAreKept) {
  OpenDialogs dialogs;
  Settings en;
  std::string chosen;
  dialogs.accept_path(OpenKind::song, "/a/b/song.kvt", "*.kvt", en, chosen);
  EXPECT_EQ(chosen, "/a/b/song.kvt");
  EXPECT_EQ(path_text(en.last_dir), "/a/b");
  dialogs.accept_path(OpenKind::song, "/song.kvt", "*.kvt", en, chosen);
  EXPECT_EQ(path_text(en.last_dir), "/");
  // A directory too long for the record stays out of it.
  const std::string deep = "/" + std::string(255, 'd') + "/deep.kvt";
  dialogs.accept_path(OpenKind::song, deep, "*.kvt", en, chosen);
  EXPECT_EQ(chosen, deep);
  EXPECT_EQ(path_text(en.last_dir), "/");
  const std::string longest = "/" + std::string(254, 'd');
  dialogs.accept_path(OpenKind::song, longest + "/x.kvt", "*.kvt", en, chosen);
  EXPECT_EQ(path_text(en.last_dir), longest);
}

TEST_F(OpenDialogsTest, ChooseTakesTheFileOnOkOnly) {
  const QString song = dir.filePath(QStringLiteral("SONG.KVT"));
  set_path_text(en.last_dir, "/");
  QTimer::singleShot(0, [] { qobject_cast<QFileDialog*>(QApplication::activeModalWidget())->reject(); });
  EXPECT_FALSE(dialogs.choose(OpenKind::song, en, chosen, nullptr));
  EXPECT_EQ(chosen, "");
  EXPECT_EQ(path_text(en.last_dir), "/");

  QTimer::singleShot(0, [&song] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    dialog->selectFile(song);
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  EXPECT_TRUE(dialogs.choose(OpenKind::song, en, chosen, nullptr));
  EXPECT_EQ(chosen, song.toStdString());
  EXPECT_EQ(path_text(en.last_dir), folder());
}

}  // namespace
}  // namespace kvt::app
