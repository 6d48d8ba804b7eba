// The windows in both languages: the English catalogue is whole and keeps
// every shortcut letter, the choice is stored beside the settings, and open
// windows relabel themselves the moment it changes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <map>

#include "album_dialogs.h"
#include "application_fixture.h"
#include "host_fixture.h"
#include "language.h"
#include "library_log.h"
#include "main_menu.h"
#include "main_window.h"
#include "qt_prompts.h"
#include "settings_dialog.h"

namespace kvt::test {
namespace {

using app::Language;

struct CatalogueEntry {
  QString scope, source, translation, type;
};

std::vector<CatalogueEntry> read_catalogue(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  std::vector<CatalogueEntry> entries;
  QString scope;
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("name")) scope = xml.readElementText();
    if (xml.name() == QLatin1String("message")) entries.push_back({scope, {}, {}, {}});
    if (xml.name() == QLatin1String("source")) entries.back().source = xml.readElementText();
    if (xml.name() == QLatin1String("translation")) {
      entries.back().type = xml.attributes().value(QLatin1String("type")).toString();
      entries.back().translation = xml.readElementText();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return entries;
}

QStringList placeholders(const QString& text) {
  QStringList found;
  for (const QRegularExpressionMatch& match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text)) {
    found << match.captured();
  }
  found.sort();
  return found;
}

TEST(Catalogue, EveryTextIsTranslatedWithItsShortcutLetterAndPlaceholders) {
  const std::vector<CatalogueEntry> entries = read_catalogue(QStringLiteral(KVT97_CATALOGUE));
  EXPECT_GE(entries.size(), 100u);
  for (const CatalogueEntry& e : entries) {
    SCOPED_TRACE((e.scope + QLatin1Char(' ') + e.source).toStdString());
    EXPECT_TRUE(e.type.isEmpty()) << "marked " << e.type.toStdString();
    EXPECT_FALSE(e.translation.trimmed().isEmpty());
    EXPECT_EQ(QKeySequence::mnemonic(e.translation), QKeySequence::mnemonic(e.source));
    EXPECT_EQ(placeholders(e.translation), placeholders(e.source));
  }
}

TEST(LanguageChoice, IsStoredAndAnythingElseMeansTheSystemsLanguage) {
  ScratchDir dir;
  const std::string file = dir / "language.ini";
  EXPECT_EQ(app::load_language(file), Language::system);
  for (Language language : {Language::english, Language::japanese, Language::system}) {
    ASSERT_TRUE(app::save_language(file, language));
    EXPECT_EQ(app::load_language(file), language);
  }
  dir.write_text("language.ini", "language=klingon\n");
  EXPECT_EQ(app::load_language(file), Language::system);
  dir.write_text("language.ini", std::string("\xff\x00garbage", 9));
  EXPECT_EQ(app::load_language(file), Language::system);

  const std::string not_a_dir = dir.write_text("plain", "a file");
  EXPECT_FALSE(app::save_language(not_a_dir + "/language.ini", Language::english));
}

TEST(LanguageChoice, TheLocaleDecidesOnlyWhenNothingIsChosen) {
  const QLocale japan(QLocale::Japanese, QLocale::Japan);
  const QLocale america(QLocale::English, QLocale::UnitedStates);
  EXPECT_TRUE(app::speaks_japanese(Language::system, japan));
  EXPECT_FALSE(app::speaks_japanese(Language::system, america));
  EXPECT_FALSE(app::speaks_japanese(Language::system, QLocale::c()));
  EXPECT_TRUE(app::speaks_japanese(Language::japanese, america));
  EXPECT_FALSE(app::speaks_japanese(Language::english, japan));
}

// Every item of the menu bar, submenus included, by its place.
void collect_items(const QList<QAction*>& actions, const QString& place, std::map<QString, QString>& texts) {
  int k = 0;
  for (QAction* action : actions) {
    const QString here = place + QLatin1Char('/') + QString::number(k++);
    if (action->isSeparator()) continue;
    texts[here] = action->text();
    if (action->menu() != nullptr) collect_items(action->menu()->actions(), here, texts);
  }
}

std::map<QString, QString> menu_texts(app::MainWindow& window) {
  std::map<QString, QString> texts;
  collect_items(window.menuBar()->actions(), QString(), texts);
  return texts;
}

class LanguageTest : public ApplicationFixture {
 protected:
  std::unique_ptr<app::Application> started(Language language) {
    std::filesystem::create_directories(paths.config_dir);
    EXPECT_TRUE(app::save_language(paths.languagefile, language));
    return ApplicationFixture::started();
  }

  static QString button_text(app::MainWindow& window, int id) {
    return window.findChild<QPushButton*>(QString::number(id))->text();
  }
};

TEST_F(LanguageTest, AChoiceStoredBeforeTheStartIsSpokenByTheWindows) {
  {
    auto application = started(Language::english);
    app::MainWindow& window = *application->main_window();
    EXPECT_EQ(window.menu().item(106)->text(), QStringLiteral("&Open File"));
    EXPECT_EQ(window.menuBar()->actions().front()->text(), QStringLiteral("&File"));
    EXPECT_EQ(button_text(window, 1), QStringLiteral("Select"));
    EXPECT_EQ(window.controls().caption->text(), QStringLiteral("Album list"));
    EXPECT_TRUE(window.menu().item(702)->isChecked());
    application->shut_down();
  }
  auto application = started(Language::japanese);
  app::MainWindow& window = *application->main_window();
  EXPECT_EQ(window.menu().item(106)->text(), QStringLiteral("ﾌｧｲﾙを開く(&O)"));
  EXPECT_EQ(button_text(window, 1), QStringLiteral("選択"));
  EXPECT_TRUE(window.menu().item(701)->isChecked());
  application->shut_down();
}

TEST_F(LanguageTest, ChoosingFromTheMenuRelabelsAtOnceAndIsKeptForTheNextStart) {
  auto application = started(Language::japanese);
  app::MainWindow& window = *application->main_window();
  window.command(1);  // the first album's files: the file list's texts
  window.menu().show_stop_item(QT_TRANSLATE_NOOP("MainMenu", "演奏中止(&A)"));

  window.command(702);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
  EXPECT_EQ(app::load_language(paths.languagefile), Language::english);
  EXPECT_TRUE(window.menu().item(702)->isChecked());
  EXPECT_FALSE(window.menu().item(701)->isChecked());
  EXPECT_EQ(window.menu().item(110)->text(), QStringLiteral("&Abort playback"));
  EXPECT_EQ(window.menu().item(400)->text(), QStringLiteral("E&xit"));
  EXPECT_EQ(button_text(window, 1), QStringLiteral("Play"));
  EXPECT_EQ(button_text(window, 601), QStringLiteral("To albums"));
  EXPECT_TRUE(window.controls().caption->text().startsWith(QStringLiteral("File list [")));
  // The languages keep their own names.
  EXPECT_EQ(window.menu().item(701)->text(), QStringLiteral("日本語(&J)"));

  window.command(700);
  EXPECT_EQ(app::load_language(paths.languagefile), Language::system);
  EXPECT_TRUE(prompts.boxes.empty());
  application->shut_down();
}

TEST_F(LanguageTest, EveryShortcutLetterIsTheSameInBothLanguages) {
  auto application = started(Language::japanese);
  app::MainWindow& window = *application->main_window();
  const std::map<QString, QString> japanese = menu_texts(window);
  window.command(702);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
  const std::map<QString, QString> english = menu_texts(window);
  ASSERT_EQ(english.size(), japanese.size());
  int translated = 0;
  for (const auto& [place, text] : japanese) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_FALSE(QKeySequence::mnemonic(text).isEmpty());
    EXPECT_EQ(QKeySequence::mnemonic(english.at(place)), QKeySequence::mnemonic(text));
    if (english.at(place) != text) ++translated;
  }
  EXPECT_GE(translated, 20);

  // Alt and the letter opens the menu, in English too.
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QMenu* convert = window.menuBar()->actions().at(1)->menu();
  QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return convert->isVisible(); }, 2000));
  convert->close();
  application->shut_down();
}

// Answers the next message box after reading it.
struct BoxReader {
  QString text, caption;
  QStringList buttons;
  void read_next() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      text = box->text();
      caption = box->windowTitle();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      box->done(0);
    });
  }
};

TEST(QtPromptsTest, BoxesSpeakTheChosenLanguageAndOtherTextsStayAsGiven) {
  app::Translations translations;
  translations.apply(Language::english);
  app::QtPrompts prompts(nullptr);
  BoxReader reader;
  reader.read_next();
  prompts.inform(QT_TRANSLATE_NOOP("Messages", "1個しか受け付けられません"), "KVT97", app::BoxIcon::error);
  EXPECT_EQ(reader.text, QStringLiteral("Only one file can be taken"));
  EXPECT_EQ(reader.caption, QStringLiteral("KVT97"));

  reader = {};
  reader.read_next();
  prompts.inform("ERROR! ファイルが見つかりません.", "KVT97", app::BoxIcon::error);  // a library's own
  EXPECT_EQ(reader.text, QStringLiteral("ERROR! ファイルが見つかりません."));

  // Japanese: the program's own words, and Qt's buttons in Japanese too.
  translations.apply(Language::japanese);
  reader = {};
  reader.read_next();
  prompts.ask_yes_no(QT_TRANSLATE_NOOP("Messages", "本当にファイルをすべて削除しますか？"),
                     QT_TRANSLATE_NOOP("Messages", "確認メッセージ"));
  EXPECT_EQ(reader.text, QStringLiteral("本当にファイルをすべて削除しますか？"));
  EXPECT_EQ(reader.caption, QStringLiteral("確認メッセージ"));
  EXPECT_TRUE(reader.buttons.join(QLatin1Char(' ')).contains(QStringLiteral("はい")))
      << reader.buttons.join(QLatin1Char(' ')).toStdString();
}

// The texts a dialog shows (its title, labels and buttons) that hold
// Japanese characters.
QStringList japanese_texts(const QWidget& dialog) {
  static const QRegularExpression japanese(QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
  QStringList texts = {dialog.windowTitle()};
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) texts << button->text();
  return texts.filter(japanese);
}

TEST(SettingsDialogLanguage, DialogsAreMadeInTheLanguageInstalled) {
  app::Translations translations;
  translations.apply(Language::english);
  const app::Settings en{};
  app::SettingsDialog play(app::SettingsDialogKind::play, en);
  EXPECT_EQ(play.windowTitle(), QStringLiteral("Playback settings"));
  EXPECT_EQ(play.findChild<QRadioButton*>(QStringLiteral("531"))->text(), QStringLiteral("Repeat one song"));
  EXPECT_EQ(play.findChild<QPushButton*>(QStringLiteral("1"))->text(), QStringLiteral("Done"));
  app::SettingsDialog midi(app::SettingsDialogKind::midi, en);
  EXPECT_EQ(midi.windowTitle(), QStringLiteral("MIDI file conversion settings"));
  app::AlbumNameDialog create(app::AlbumDialogKind::create, {});
  EXPECT_EQ(create.windowTitle().toStdString(), "New album");
  app::AlbumNameDialog rename(app::AlbumDialogKind::rename, "\x83\x65\x83\x58\x83\x67");  // a Japanese name stays
  for (const QWidget* dialog : std::initializer_list<const QWidget*>{&play, &midi, &create, &rename}) {
    EXPECT_EQ(japanese_texts(*dialog).join(QStringLiteral(" | ")).toStdString(), "")
        << dialog->windowTitle().toStdString();
  }

  translations.apply(Language::japanese);
  app::SettingsDialog again(app::SettingsDialogKind::play, en);
  EXPECT_EQ(again.windowTitle(), QStringLiteral("演奏状態の設定"));
  EXPECT_EQ(again.findChild<QPushButton*>(QStringLiteral("1"))->text(), QStringLiteral("設定終了"));
}

TEST(LibraryLog, ReportsFollowTheLanguageOfTheWindows) {
  const std::string report = "Line = 3\nERROR! ファイルが見つかりません.\n";
  const frontend::Messages messages = {{frontend::MessageKind::report, report}};
  app::Translations translations;
  translations.apply(Language::english);
  std::string text;
  app::append_log(text, messages);
  EXPECT_EQ(text, "Line = 3\nERROR! File not found.\n");

  translations.apply(Language::japanese);
  text.clear();
  app::append_log(text, messages);
  EXPECT_EQ(text, report);  // the library's own words
}

}  // namespace
}  // namespace kvt::test
