// The main window driven through its commands, buttons, list and drops,
// with recorded message boxes and dialogs answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <functional>

#include "album_store.h"
#include "card_capture.h"
#include "app_state.h"
#include "control_surface.h"
#include "display_text.h"
#include "kvt/player.h"
#include "language.h"
#include "main_menu.h"
#include "main_window.h"
#include "recorded_prompts.h"
#include "host_fixture.h"
#include "settings_record.h"
#include "smf_builder.h"
#include "user_choices.h"

namespace kvt::test {
namespace {

using app::SettingsDialogKind;

// Dialogs answered by the test: queued files and names, recorded settings.
class ScriptedChoices : public app::UserChoices {
 public:
  bool choose_file(app::OpenKind kind, app::Settings&, std::string& chosen) override {
    kinds.push_back(kind);
    if (files.empty()) return false;
    chosen = files.front();
    files.erase(files.begin());
    return true;
  }
  std::optional<std::string> new_album_name() override { return next_name(); }
  std::optional<std::string> album_rename(const std::string& current) override {
    renamed_from.push_back(current);
    return next_name();
  }
  bool edit_settings(SettingsDialogKind kind, app::Settings&) override {
    settings.push_back(kind);
    return false;
  }

  std::vector<std::string> files;
  std::vector<std::optional<std::string>> names;
  std::vector<app::OpenKind> kinds;
  std::vector<std::string> renamed_from;
  std::vector<SettingsDialogKind> settings;

 private:
  std::optional<std::string> next_name() {
    if (names.empty()) return std::nullopt;
    std::optional<std::string> name = names.front();
    names.erase(names.begin());
    return name;
  }
};

std::string sjis(const std::string& utf8) { return frontend::to_shift_jis(utf8); }

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() : albums(prompts) {
    albums.album_add(sjis("ＫＶＴ９７のサンプル２５曲"));
    albums.album_add(sjis("(株)zov社提供の３曲"));
    albums.album_add("Mine");
    albums.set_cur_album(2);
  }

  app::MainWindow& window() {
    if (!window_) {
      window_ = std::make_unique<app::MainWindow>(app::MainWindowContext{
          en, albums, state, prompts, choices, [this] { ++viewer_shown; }, [this] { ++viewer_repainted; },
          [this](const std::string& name) { help.push_back(name); }, [this] { ++close_requests; },
          [this] {
            played.push_back(state.chosen);
            state.play_flag = plays_as;
            state.serial = ++serial;
          },
          [this] { ++kept; }, [] { return std::string(KVT_ASSET_DIR) + "/kvt.cfb"; },
          [this](bool awake) { awake_calls.push_back(awake); }, language, [] {}});
    }
    return *window_;
  }
  const app::MainControls& controls() { return window().controls(); }
  QStringList list_texts() {
    QStringList texts;
    for (int i = 0; i < controls().list->count(); ++i) texts << controls().list->item(i)->text();
    return texts;
  }
  std::string last_box() const { return prompts.boxes.empty() ? std::string() : prompts.boxes.back().text; }
  void drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    window().take_drop(data);
  }

  app::Settings en;
  app::AppState state;
  RecordedPrompts prompts;
  ScriptedChoices choices;
  app::AlbumStore albums;
  ScratchDir folder;
  int viewer_shown = 0, viewer_repainted = 0, close_requests = 0, kept = 0;
  std::vector<std::string> played;  // what the window asked to play
  std::vector<bool> awake_calls;    // the screen saver kept away or let come
  app::Language language = app::Language::system;
  app::PlayFlag plays_as = app::PlayFlag::song;
  unsigned long serial = 0;
  std::vector<std::string> help;

 private:
  std::unique_ptr<app::MainWindow> window_;
};

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesWithTheirTexts) {
  const app::MainControls& c = controls();
  EXPECT_EQ(c.list->geometry(), QRect(20, 62, 430, 322));
  EXPECT_EQ(c.edit->geometry(), QRect(20, 20, 430, 22));
  EXPECT_EQ(c.title_line->geometry(), QRect(2, 384, 430, 16));
  const std::vector<std::tuple<int, int, const char*>> buttons = {
      {1, 10, "選択"},        {110, 50, "演奏中止"},  {103, 100, "ドキュメント"}, {104, 140, "鍵盤表示"},
      {107, 190, "ｱﾙﾊﾞﾑ作成"}, {105, 230, "ｱﾙﾊﾞﾑ削除"}, {109, 270, "ｱﾙﾊﾞﾑ名変更"}, {300, 320, "ヘルプ"},
      {601, 360, "最新情報"}};
  for (const auto& [id, y, text] : buttons) {
    SCOPED_TRACE(id);
    QPushButton* b = window().findChild<QPushButton*>(QString::number(id));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->geometry(), QRect(470, y, 110, 28));
    EXPECT_EQ(b->text(), QString::fromUtf8(text));
  }
  EXPECT_FALSE(c.button(110)->isEnabled());
  EXPECT_TRUE(c.choose->isDefault());
  c.title_line->setText(QStringLiteral("■■"));  // solid glyphs: their cores are the pure colour

  // As drawn: cyan and green texts on grey, white on dark red and dark blue.
  window().resize(618, 448);
  window().show();
  const QImage picture = window().grab().toImage();
  const auto colour_at = [&](QWidget* w, int x, int y) { return picture.pixelColor(w->mapTo(&window(), QPoint(x, y))); };
  const auto has_colour = [&](QWidget* w, const QColor& colour) {
    for (int y = 0; y < w->height(); ++y)
      for (int x = 0; x < w->width(); ++x)
        if (colour_at(w, x, y) == colour) return true;
    return false;
  };
  EXPECT_EQ(colour_at(c.heading, 110, 8), QColor(127, 127, 127));
  EXPECT_TRUE(has_colour(c.heading, QColor(0, 255, 255)));
  EXPECT_TRUE(has_colour(c.title_line, QColor(0, 255, 0)));
  EXPECT_EQ(colour_at(c.edit, 400, 11), QColor(127, 0, 0));
  EXPECT_EQ(colour_at(c.list, 200, 300), QColor(0, 0, 127));
  EXPECT_TRUE(has_colour(c.list, Qt::white));
  EXPECT_EQ(picture.pixelColor(window().centralWidget()->mapTo(&window(), QPoint(455, 5))), QColor(127, 127, 127));
}

TEST_F(MainWindowTest, MenuItemsCarryTheirIdsAndTheStopItemComesBeforeExit) {
  const std::vector<std::pair<int, const char*>> items = {
      {106, "ﾌｧｲﾙを開く(&O)"}, {400, "終了(&X)"},
      {120, "ﾏｸﾛﾌｧｲﾙ (*.MML) -> KVTﾃﾞｰﾀ (*.KVT) (&A)..."}, {124, "RCPﾃﾞｰﾀ (*.RCP) -> KVTﾃﾞｰﾀ (*.KVT) (&E)..."},
      {140, "演奏状態の設定(&P)..."}, {190, "WAVファイルへの変換時の設定(&W)..."},
      {301, "ＭＭＬ初心者向けマニュアル(&M)"}, {350, "バージョン情報(&V)..."}};
  for (const auto& [id, text] : items) {
    SCOPED_TRACE(id);
    QAction* item = window().menu().item(id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromUtf8(text));
  }
  EXPECT_EQ(window().menu().item(110), nullptr);
  window().menu().show_stop_item("演奏中止(&A)");
  QAction* stop = window().menu().item(110);
  ASSERT_NE(stop, nullptr);
  const QList<QAction*> file_items = qobject_cast<QWidget*>(stop->parent())->actions();
  EXPECT_EQ(file_items.indexOf(stop) + 1, file_items.indexOf(window().menu().item(400)));
  window().menu().hide_stop_item();
  EXPECT_EQ(window().menu().item(110), nullptr);
}

TEST_F(MainWindowTest, ChoosingAnAlbumShowsItsFilesAndTheWayBackShowsAlbums) {
  EXPECT_EQ(list_texts().size(), 3);
  EXPECT_EQ(controls().list->currentRow(), 2);
  EXPECT_EQ(controls().edit->text(), QStringLiteral("Mine"));
  controls().title_line->setText(QStringLiteral("kept"));

  window().command(1);  // an empty album
  EXPECT_EQ(en.list_mode, 1);
  EXPECT_TRUE(list_texts().isEmpty());
  EXPECT_EQ(controls().title_line->text(), QStringLiteral("kept"));
  EXPECT_EQ(controls().heading->text(), QStringLiteral("演奏ファイル"));
  EXPECT_EQ(controls().caption->text(), QStringLiteral("ファイルリスト[Mine]"));
  EXPECT_EQ(controls().choose->text(), QStringLiteral("演奏"));
  EXPECT_EQ(controls().add->text(), QStringLiteral("追加"));
  EXPECT_EQ(controls().remove->text(), QStringLiteral("削除"));
  EXPECT_EQ(controls().rename->text(), QStringLiteral("全削除"));
  EXPECT_EQ(controls().news_or_back->text(), QStringLiteral("ｱﾙﾊﾞﾑに戻る"));
  EXPECT_TRUE(controls().choose->isEnabled());
  EXPECT_EQ(viewer_repainted, 1);

  window().command(601);
  EXPECT_EQ(en.list_mode, 0);
  EXPECT_EQ(controls().caption->text(), QStringLiteral("アルバムリスト"));
  EXPECT_EQ(controls().choose->text(), QStringLiteral("選択"));
  EXPECT_TRUE(controls().title_line->text().isEmpty());
  EXPECT_EQ(list_texts(), QStringList({QStringLiteral("ＫＶＴ９７のサンプル２５曲"), QStringLiteral("(株)zov社提供の３曲"),
                                       QStringLiteral("Mine")}));
  window().command(601);
  EXPECT_EQ(help, std::vector<std::string>{"midi.md"});
}

TEST_F(MainWindowTest, SelectingAFileShowsItsPathAndTitle) {
  const std::string titled = std::string(KVT_ASSET_DIR) + "/Sample/ode_to_joy.KVT";
  const std::string wave = folder.write_text("take.wav", "RIFF");
  const std::string untitled = folder.write_text("bare.kvt", std::string("KVTM\0\0\0\0\0\0\0\xFF\xFF", 13));
  for (const std::string& f : {titled, wave, untitled, folder / "gone.mid"}) albums.fm_file_add(2, f);
  en.list_mode = 1;
  controls().list->setCurrentRow(0);
  EXPECT_EQ(controls().edit->text().toStdString(), titled);
  EXPECT_FALSE(controls().title_line->text().isEmpty());
  EXPECT_NE(controls().title_line->text(), QStringLiteral("no title"));
  controls().list->setCurrentRow(1);
  EXPECT_TRUE(controls().title_line->text().isEmpty());
  controls().list->setCurrentRow(2);
  EXPECT_EQ(controls().title_line->text(), QStringLiteral("no title"));
  controls().list->setCurrentRow(3);
  EXPECT_EQ(controls().title_line->text(), QStringLiteral("no title"));
  EXPECT_NE(state.text.find("ERROR! Unable to open"), std::string::npos) << state.text;
  EXPECT_EQ(albums.fm_cur(2), 3);
}

TEST_F(MainWindowTest, DeletingNeedsASelectionAndKeepsReservedAlbums) {
  controls().list->setCurrentRow(-1);
  window().command(105);
  EXPECT_EQ(last_box(), "削除する項目を選んで下さい");
  EXPECT_EQ(albums.album_num(), 3);

  controls().list->setCurrentRow(0);
  window().command(105);
  EXPECT_EQ(albums.album_num(), 3);
  EXPECT_EQ(list_texts().size(), 3);

  controls().list->setCurrentRow(2);
  window().command(105);
  EXPECT_EQ(albums.album_num(), 2);
  EXPECT_EQ(list_texts().size(), 2);
  EXPECT_LT(albums.cur_album(), albums.album_num());
}

TEST_F(MainWindowTest, FilesAreAddedThroughTheOpenDialogOnlyInAnAlbum) {
  window().command(106);
  EXPECT_EQ(last_box(), "まずアルバムを選択して下さい");
  EXPECT_TRUE(choices.kinds.empty());

  window().command(1);
  choices.files = {"/music/a.mid", "/music/b.kvt"};
  window().command(106);
  window().command(107);  // the same in the file list
  EXPECT_EQ(choices.kinds, (std::vector<app::OpenKind>{app::OpenKind::any, app::OpenKind::any}));
  EXPECT_EQ(list_texts(), QStringList({QStringLiteral("/music/a.mid"), QStringLiteral("/music/b.kvt")}));
  EXPECT_EQ(controls().edit->text(), QStringLiteral("/music/b.kvt"));
  EXPECT_EQ(controls().list->currentRow(), 1);
  EXPECT_EQ(albums.fm_num(2), 2);

  window().command(106);  // cancelled
  EXPECT_EQ(albums.fm_num(2), 2);
}

TEST_F(MainWindowTest, AlbumsAreMadeAndRenamed) {
  choices.names = {std::string("New"), std::nullopt, std::string("Renamed")};
  window().command(107);
  EXPECT_EQ(albums.album_num(), 4);
  EXPECT_EQ(albums.cur_album(), 3);
  EXPECT_EQ(list_texts().back(), QStringLiteral("New"));
  EXPECT_EQ(controls().edit->text(), QStringLiteral("New"));

  window().command(109);  // cancelled
  EXPECT_EQ(albums.album(3), "New");
  window().command(109);
  EXPECT_EQ(choices.renamed_from, (std::vector<std::string>{"New", "New"}));
  EXPECT_EQ(albums.album(3), "Renamed");
  EXPECT_EQ(list_texts().back(), QStringLiteral("Renamed"));
  EXPECT_EQ(controls().list->currentRow(), 3);
}

TEST_F(MainWindowTest, RemovingEveryFileAsksFirst) {
  for (const char* f : {"/a.kvt", "/b.kvt", "/c.kvt"}) albums.fm_file_add(2, f);
  window().command(1);
  window().command(109);
  EXPECT_EQ(prompts.boxes.back().text, "本当にファイルをすべて削除しますか？");
  EXPECT_TRUE(prompts.boxes.back().question);
  EXPECT_EQ(albums.fm_num(2), 3);
  prompts.answers = {true};
  window().command(109);
  EXPECT_EQ(albums.fm_num(2), 0);
  EXPECT_TRUE(list_texts().isEmpty());
}

TEST_F(MainWindowTest, OneDroppedFileJoinsTheCurrentAlbum) {
  drop({QStringLiteral("/x/one.kvt"), QStringLiteral("/x/two.kvt")});
  EXPECT_EQ(last_box(), "1個しか受け付けられません");
  EXPECT_EQ(prompts.boxes.back().icon, app::BoxIcon::error);
  EXPECT_EQ(albums.fm_num(2), 0);

  drop({QStringLiteral("/x/one.kvt")});
  EXPECT_EQ(albums.fm_num(2), 1);
  EXPECT_EQ(en.list_mode, 1);  // command 1 opened the album
  EXPECT_EQ(list_texts(), QStringList({QStringLiteral("/x/one.kvt")}));
}

TEST_F(MainWindowTest, CommandsOpenTheirDialogsViewersAndHelp) {
  for (int id : {140, 160, 180, 190, 195}) window().command(id);
  EXPECT_EQ(choices.settings, (std::vector<SettingsDialogKind>{SettingsDialogKind::play, SettingsDialogKind::voice_dirs,
                                                               SettingsDialogKind::midi, SettingsDialogKind::wav,
                                                               SettingsDialogKind::sound_source}));
  window().command(103);
  EXPECT_EQ(viewer_shown, 1);
  window().command(300);
  window().command(301);
  EXPECT_EQ(help, (std::vector<std::string>{"kvt97.md", "mml.md"}));
  window().command(400);
  EXPECT_EQ(close_requests, 1);
}

TEST_F(MainWindowTest, TheSurfaceScrollsByColumnsAndRows) {
  auto* area = qobject_cast<app::ControlSurface*>(window().centralWidget());
  ASSERT_NE(area, nullptr);
  window().resize(618, 448);
  window().show();
  EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
  area->resize(300, 200);
  const QSize client = area->viewport()->size();
  EXPECT_EQ(area->horizontalScrollBar()->maximum(), (600 - client.width()) / 8);
  EXPECT_EQ(area->verticalScrollBar()->maximum(), 25 - client.height() / 16);
  EXPECT_EQ(area->verticalScrollBar()->pageStep(), client.height() / 16);
  EXPECT_EQ(area->horizontalScrollBar()->pageStep(), 8);
  area->horizontalScrollBar()->setValue(3);
  area->verticalScrollBar()->setValue(2);
  EXPECT_EQ(area->surface()->pos(), QPoint(-24, -32));
  area->verticalScrollBar()->setValue(1000);
  EXPECT_EQ(area->verticalScrollBar()->value(), area->verticalScrollBar()->maximum());
  area->resize(640, 480);
  EXPECT_EQ(area->surface()->pos(), QPoint(0, 0));
}

class PlayingTest : public MainWindowTest {
 protected:
  PlayingTest() {
    for (const char* f : {"/m/a.kvt", "/m/b.mid", "/m/c.kvt"}) albums.fm_file_add(2, f);
    en.list_mode = 1;
  }
  void play_row(int row) {
    controls().list->setCurrentRow(row);
    window().command(1);
  }
  std::string file_of_row(int row) { return controls().list->item(row)->text().toStdString(); }
  bool stop_shown() { return controls().stop->isEnabled() && window().menu().item(110) != nullptr; }
};

TEST_F(PlayingTest, PlayingShowsTheStopControlsAndStoppingTakesThemAway) {
  play_row(1);
  EXPECT_EQ(played, std::vector<std::string>{"/m/b.mid"});
  EXPECT_TRUE(stop_shown());
  EXPECT_EQ(window().menu().item(110)->text(), QStringLiteral("演奏中止(&A)"));
  window().command(110);
  EXPECT_FALSE(stop_shown());
  EXPECT_EQ(state.play_flag, app::PlayFlag::idle);
  EXPECT_EQ(kept, 0);

  // A converted song is kept beside its source when it stops, if asked to.
  plays_as = app::PlayFlag::converted_song;
  en.keep_converted = 1;
  play_row(1);
  window().command(110);
  EXPECT_EQ(kept, 1);
  en.keep_converted = 0;
  play_row(1);
  window().command(110);
  EXPECT_EQ(kept, 1);

  // Nothing that plays: the controls stay away.
  plays_as = app::PlayFlag::idle;
  play_row(0);
  EXPECT_FALSE(stop_shown());
}

TEST_F(PlayingTest, TheScreenSaverStaysAwayWhilePlayingOnlyWhenAskedTo) {
  play_row(0);
  window().command(110);
  EXPECT_EQ(awake_calls, (std::vector<bool>{false, false}));
  en.no_screensaver = 1;
  awake_calls.clear();
  play_row(0);
  window().command(110);
  EXPECT_EQ(awake_calls, (std::vector<bool>{true, false}));
}

TEST_F(PlayingTest, AWaveFileEndsWithItsNoticeAndStaleNoticesAreDropped) {
  plays_as = app::PlayFlag::wave;
  play_row(0);
  window().notice(KVT_NOTICE_WAVE_DONE, serial - 1);
  EXPECT_TRUE(stop_shown());
  window().notice(KVT_NOTICE_WAVE_DONE, serial);
  EXPECT_FALSE(stop_shown());
  EXPECT_EQ(state.play_flag, app::PlayFlag::idle);
}

TEST_F(PlayingTest, PlayProgramsChooseTheNextSongAtASongsEnd) {
  play_row(1);
  window().notice(KVT_COMMAND_SONG_END, serial);  // no program
  EXPECT_EQ(played.size(), 1u);
  EXPECT_FALSE(stop_shown());

  en.program_mode = 1;  // repeat one song
  play_row(1);
  window().notice(KVT_COMMAND_SONG_END, serial);
  EXPECT_EQ(played.back(), "/m/b.mid");
  EXPECT_EQ(played.size(), 3u);

  en.program_mode = 2;  // continuous, no wrap-around
  window().notice(KVT_COMMAND_SONG_END, serial);
  EXPECT_EQ(played.back(), "/m/c.kvt");
  EXPECT_EQ(controls().list->currentRow(), 2);
  EXPECT_EQ(controls().edit->text(), QStringLiteral("/m/c.kvt"));
  window().notice(KVT_COMMAND_SONG_END, serial);
  EXPECT_EQ(played.size(), 4u);
  EXPECT_EQ(state.play_flag, app::PlayFlag::idle);

  en.program_mode = 3;  // random, always a file of the album
  for (int i = 0; i < 20; ++i) {
    play_row(0);
    window().notice(KVT_COMMAND_SONG_END, serial);
    EXPECT_EQ(played.back(), file_of_row(controls().list->currentRow()));
  }
}

TEST_F(PlayingTest, AnAlbumWithoutFilesPlaysNothingAtASongsEnd) {
  play_row(0);
  window().command(109);  // asked: no
  prompts.answers = {true};
  window().command(109);
  en.program_mode = 3;
  const std::size_t before = played.size();
  window().notice(KVT_COMMAND_SONG_END, serial);
  EXPECT_EQ(played.size(), before);
}

// The conversion commands with the real libraries.
class ConversionTest : public MainWindowTest {
 protected:
  ConversionTest() { app::set_path_text(en.pcm_dir1, std::string(KVT_ASSET_DIR) + "/Pcm97"); }
  std::string sample(const std::string& name, const std::string& as) const {
    const std::string to = folder / as;
    std::filesystem::copy_file(std::string(KVT_ASSET_DIR) + "/Sample/" + name, to);
    return to;
  }
  void convert(int id, const std::string& source) {
    choices.files = {source};
    window().command(id);
  }
  bool finished_box(const std::string& text) const {
    return !prompts.boxes.empty() && prompts.boxes.back().text == text && prompts.boxes.back().caption == "OK";
  }
};

TEST_F(ConversionTest, MmlCompilesWithItsLogShownAndSaysSo) {
  convert(120, sample("ode_to_joy.mml", "Ode.MML"));
  EXPECT_EQ(choices.kinds.back(), app::OpenKind::mml);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "Ode.KVT"));
  EXPECT_TRUE(finished_box("変換が終了しました"));
  EXPECT_EQ(state.status, "Using : " + std::string(KVT_ASSET_DIR) + "/kvt.cfb");
  EXPECT_FALSE(state.text.empty());
  EXPECT_EQ(en.doc_visible, 1);
  EXPECT_EQ(viewer_shown, 1);

  prompts.boxes.clear();
  convert(120, sample("ode_to_joy.mml", "Mixed.Mml"));  // other letter cases are left alone
  EXPECT_FALSE(std::filesystem::exists(folder / "Mixed.KVT"));
  convert(120, folder.write_text("bad.mml", "#title\nA c d e zzz\n"));
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_FALSE(state.text.empty());

  choices.files.clear();
  window().command(120);  // cancelled
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(ConversionTest, MidiConvertsBesideItselfAndFailuresOnlyLog) {
  const Bytes tune = smf_file(0, 96, {smf_track({program(0, 1, 0), note_on(0, 1, 60), note_off(96, 1, 60)})});
  convert(121, folder.write("tune.mid", tune));
  EXPECT_EQ(choices.kinds.back(), app::OpenKind::midi);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "tune.kvt"));
  EXPECT_TRUE(finished_box("変換が終了しました"));

  prompts.boxes.clear();
  convert(121, folder.write_text("broken.mid", "MThd"));
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_FALSE(state.text.empty());
}

TEST_F(ConversionTest, RcpBecomesMidiAndThroughItSongData) {
  const std::string corpus_rcp = std::string(KVT_CORPUS_DIR) + "/rcp/sted2clone-cli-test.rcp";
  if (!std::filesystem::exists(corpus_rcp)) GTEST_SKIP() << "no RCP corpus on this machine";
  const std::string rcp = folder / "take.rcp";
  std::filesystem::copy_file(corpus_rcp, rcp);
  convert(123, rcp);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "take.mid")) << state.text;
  EXPECT_TRUE(finished_box("変換が終了しました"));
  std::filesystem::remove(folder / "take.mid");
  convert(124, rcp);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "take.kvt"));
  EXPECT_TRUE(finished_box("変換が終了しました"));
}

TEST_F(ConversionTest, AFailedRcpConversionStopsBeforeTheMidiConverter) {
  const std::string rcp = folder.write_text("bad.rcp", "not an rcp file");
  convert(123, rcp);
  EXPECT_TRUE(prompts.boxes.empty());
  convert(124, rcp);
  EXPECT_EQ(choices.kinds.back(), app::OpenKind::rcp);
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(folder / "bad.mid"));
  EXPECT_FALSE(std::filesystem::exists(folder / "bad.kvt"));
  EXPECT_EQ(state.status.rfind("Using", 0), std::string::npos);  // the MIDI step never began
}

// Presses the progress dialog's button once `ready` holds for its text.
void press_when(const std::function<bool(const QString&)>& ready) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, ready] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    auto* progress = dialog->findChild<QPlainTextEdit*>(QStringLiteral("610"));
    if (progress == nullptr || !ready(progress->toPlainText())) return;
    dialog->findChild<QPushButton*>(QStringLiteral("1"))->click();
    poll->deleteLater();
  });
  poll->start(10);
}

TEST_F(ConversionTest, WaveOutputShowsItsProgressAndFinishesOrIsCancelled) {
  en.wav_bits = 16;
  const std::string song = sample("frere_jacques.KVT", "Frere.kvt");
  press_when([](const QString& text) { return text.contains(QStringLiteral("終了しました。")); });
  convert(122, song);
  EXPECT_EQ(choices.kinds.back(), app::OpenKind::song);
  ASSERT_TRUE(finished_box("WAV出力終了しました")) << (prompts.boxes.empty() ? state.text : prompts.boxes.back().text);
  EXPECT_EQ(state.status, "Converting : " + song);
  // The song ends without a click: its last 50 ms stay below -60 dBFS.
  const Bytes wav = read_file(folder / "Frere.wav");
  const std::size_t channels = wav[22], rate = wav[24] | wav[25] << 8, last = channels * rate / 20;
  const std::vector<std::int16_t> samples = samples_of(wav, 44);
  ASSERT_GT(samples.size(), last);
  int peak = 0;
  for (auto s = samples.end() - last; s != samples.end(); ++s) peak = std::max(peak, std::abs(int{*s}));
  EXPECT_LT(peak, 33) << channels << " channels at " << rate << " Hz";
  EXPECT_EQ(state.play_flag, app::PlayFlag::idle);
  EXPECT_EQ(window().menu().item(110), nullptr);
  EXPECT_TRUE(window().menu().item(140)->isEnabled());

  // Cancelled at once: whatever was written is a shorter, whole file.
  prompts.boxes.clear();
  std::filesystem::remove(folder / "Frere.wav");
  press_when([](const QString&) { return true; });
  convert(122, song);
  EXPECT_EQ(state.play_flag, app::PlayFlag::idle);
  if (std::filesystem::exists(folder / "Frere.wav")) {
    EXPECT_TRUE(finished_box("WAV出力終了しました"));
  }

  // Not song data: nothing is rendered.
  prompts.boxes.clear();
  convert(122, folder.write_text("notes.txt", "x"));
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(ConversionTest, WaveOutputProgressSpeaksTheLanguageOfTheWindows) {
  app::Translations translations;
  translations.apply(app::Language::english);
  const std::string song = sample("frere_jacques.KVT", "Frere.kvt");
  QString last;
  press_when([&last](const QString& text) {
    last = text;
    return text.contains(QStringLiteral("Finished."));
  });
  convert(122, song);
  translations.apply(app::Language::japanese);
  EXPECT_TRUE(finished_box("WAV出力終了しました"));
  EXPECT_FALSE(last.contains(QStringLiteral("終了しました。"))) << last.toStdString();
}

}  // namespace
}  // namespace kvt::test
