#include "clean_ends.h"
#include "main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>

#include "album_store.h"
#include "app_state.h"
#include "control_surface.h"
#include "conversions.h"
#include "display_text.h"
#include "dropped_file.h"
#include "kvt/kvtc.h"
#include "kvt/mid2kvt.h"
#include "kvt/player.h"
#include "library_records.h"
#include "main_menu.h"
#include "settings_record.h"
#include "song_title.h"
#include "user_choices.h"
#include "user_prompts.h"
#include "wave_output_dialog.h"

namespace kvt::app {

namespace {


QString shown(std::string_view bytes) { return QString::fromStdString(frontend::to_utf8(bytes)); }

// File y of album x, empty when there is none.
std::string file_at(const AlbumStore& albums, int x, int y) {
  return std::string(albums.fm_file(x, y).value_or(std::string_view()));
}

}  // namespace

MainWindow::MainWindow(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent), context_(std::move(context)) {
  setWindowTitle(QStringLiteral("KVT97"));
  setAcceptDrops(true);
  auto* area = new ControlSurface(this);
  setCentralWidget(area);
  controls_ = make_main_controls(area->surface());
  menu_ = std::make_unique<MainMenu>(menuBar(), [this](int id) { command(id); });
  menu_->check_language(context_.language);
  for (int id : {1, 110, 103, 104, 107, 105, 109, 300, 601}) {
    connect(controls_.button(id), &QPushButton::clicked, this, [this, id] { command(id); });
  }
  connect(controls_.list, &QListWidget::currentRowChanged, this, [this](int row) { selection_changed(row); });
  connect(controls_.list, &QListWidget::itemDoubleClicked, this, [this] { command(1); });
  show_mode(mode());
}

MainWindow::~MainWindow() = default;

ListMode MainWindow::mode() const {
  return context_.en.list_mode == 1 ? ListMode::files : ListMode::albums;
}

void MainWindow::show_mode(ListMode mode) {
  context_.en.list_mode = static_cast<int>(mode);
  const int x = context_.albums.cur_album();
  relabel(controls_, mode, shown(context_.albums.album(x)));
  fill_list();
}

// The list for the mode, with the current album or file selected; the edit
// field shows it.
void MainWindow::fill_list() {
  AlbumStore& albums = context_.albums;
  const int x = albums.cur_album();
  QSignalBlocker quiet(controls_.list);
  controls_.list->clear();
  int current = -1;
  if (mode() == ListMode::albums) {
    for (int a = 0; a < albums.album_num(); ++a) controls_.list->addItem(shown(albums.album(a)));
    current = x;
    controls_.edit->setText(shown(albums.album(x)));
  } else {
    for (int y = 0; y < albums.fm_num(x); ++y) controls_.list->addItem(shown(file_at(albums, x, y)));
    current = albums.fm_cur(x);
    controls_.edit->setText(shown(file_at(albums, x, current)));
  }
  controls_.list->setCurrentRow(current);
}

void MainWindow::selection_changed(int row) {
  if (row < 0) return;
  AlbumStore& albums = context_.albums;
  if (mode() == ListMode::albums) {
    albums.set_cur_album(row);
    controls_.edit->setText(shown(albums.album(row)));
    return;
  }
  const int x = albums.cur_album();
  albums.set_fm_cur(x, row);
  const std::string path = file_at(albums, x, row);
  controls_.edit->setText(shown(path));
  show_title(path);
}

void MainWindow::choose_language(Language language) {
  context_.language = language;
  menu_->check_language(language);
  context_.language_chosen();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    menu_->retranslate();
    relabel(controls_, mode(), shown(context_.albums.album(context_.albums.cur_album())));
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::show_title(const std::string& path) {
  controls_.title_line->setText(shown(song_title(path, context_.state.text)));
}

void MainWindow::command(int id) {
  switch (id) {
    case 1:
    case 108: choose(); break;
    case 103: context_.show_document_viewer(); break;
    case 104: _OpenView(); break;
    case 105: remove(); break;
    case 106: open_file(); break;
    case 107: add(); break;
    case 109: rename_or_clear(); break;
    case 110: stop(); break;
    case 120:
    case 121:
    case 122:
    case 123:
    case 124: convert(id); break;
    case 604: program_play(); break;
    case 140: context_.choices.edit_settings(SettingsDialogKind::play, context_.en); break;
    case 160: context_.choices.edit_settings(SettingsDialogKind::voice_dirs, context_.en); break;
    case 180: context_.choices.edit_settings(SettingsDialogKind::midi, context_.en); break;
    case 190: context_.choices.edit_settings(SettingsDialogKind::wav, context_.en); break;
    case 195: context_.choices.edit_settings(SettingsDialogKind::sound_source, context_.en); break;
    case 300: context_.show_help("kvt97.md"); break;
    case 301: context_.show_help("mml.md"); break;
    case 350: about(); break;
    case 400:
      stop();
      close();
      break;
    case 601: news_or_back(); break;
    case kLanguageIds[0]:
    case kLanguageIds[1]:
    case kLanguageIds[2]: choose_language(static_cast<Language>(id - kLanguageIds[0])); break;
    default: break;
  }
}

void MainWindow::convert(int id) {
  stop();
  ConversionContext c{context_.en,
                      context_.state,
                      context_.choices,
                      context_.prompts,
                      context_.active_config(),
                      context_.show_document_viewer,
                      context_.repaint_document_viewer,
                      [this](const std::string& song, const std::string& wav) { return render_wave(song, wav); }};
  switch (id) {
    case 120: convert_mml(c); break;
    case 121: convert_midi(c); break;
    case 122: convert_to_wave(c); break;
    case 123: convert_rcp_to_midi(c); break;
    case 124: convert_rcp_to_song(c); break;
    default: break;
  }
}

namespace {

void show_library_message(void* prompts, const char* text, int icon) {
  static_cast<UserPrompts*>(prompts)->inform(frontend::to_utf8(text), "KVT97",
                                              icon == KVT_ICON_EXCLAMATION ? BoxIcon::exclamation : BoxIcon::none);
}

}  // namespace

bool MainWindow::render_wave(const std::string& song, const std::string& wav) {
  playstruct settings{};
  set_wavstruct(context_.en, settings);
  const kvt_host_ui ui{&context_.prompts, show_library_message, nullptr, nullptr, nullptr};
  char title[256] = {};
  const kvt_output_options clean = frontend::clean_ends(0);
  kvt_render* render = kvt_render_start_with_options(&ui, song.c_str(), wav.c_str(), &settings, &clean, title);
  if (render == nullptr) return false;
  context_.state.title = title;
  context_.state.play_flag = PlayFlag::rendering;
  playing_changed();
  menu_->set_settings_enabled(false);
  menu_->show_stop_item(QT_TRANSLATE_NOOP("MainMenu", "変換中止(&A)"));
  WaveOutputDialog dialog(render, this);
  rendering_ = &dialog;
  dialog.exec();
  rendering_ = nullptr;
  menu_->hide_stop_item();
  menu_->set_settings_enabled(true);
  context_.state.play_flag = PlayFlag::idle;
  playing_changed();
  return dialog.outcome() != KVT_RENDER_NO_FILE;
}

void MainWindow::choose() {
  controls_.choose->setEnabled(false);
  if (mode() == ListMode::albums) {
    show_mode(ListMode::files);
    const int x = context_.albums.cur_album();
    if (context_.albums.fm_num(x) > 0) show_title(file_at(context_.albums, x, context_.albums.fm_cur(x)));
  } else {
    stop();
    play_current();
  }
  controls_.choose->setEnabled(true);
  context_.repaint_document_viewer();
}

void MainWindow::remove() {
  const int row = controls_.list->currentRow();
  if (row < 0) {
    context_.prompts.inform(QT_TRANSLATE_NOOP("Messages", "削除する項目を選んで下さい"), kConfirmCaption,
                            BoxIcon::exclamation);
    return;
  }
  AlbumStore& albums = context_.albums;
  if (mode() == ListMode::albums) {
    if (albums.album_del(row) != 0) return;
    // The current album must stay one that exists.
    if (albums.cur_album() >= albums.album_num()) albums.set_cur_album(albums.album_num() - 1);
  } else {
    albums.fm_file_del(albums.cur_album(), row);
  }
  QSignalBlocker quiet(controls_.list);
  delete controls_.list->takeItem(row);
}

void MainWindow::open_file() {
  if (mode() == ListMode::albums) {
    context_.prompts.inform(QT_TRANSLATE_NOOP("Messages", "まずアルバムを選択して下さい"), kConfirmCaption, BoxIcon::none);
    return;
  }
  std::string& chosen = context_.state.chosen;
  if (context_.choices.choose_file(OpenKind::any, context_.en, chosen)) add_file(chosen);
}

bool MainWindow::add_file(const std::string& path) {
  AlbumStore& albums = context_.albums;
  const int x = albums.cur_album();
  if (!albums.fm_file_add(x, path)) return false;
  controls_.edit->setText(shown(path));
  if (mode() == ListMode::files) {
    QSignalBlocker quiet(controls_.list);
    controls_.list->addItem(shown(path));
    controls_.list->setCurrentRow(albums.fm_cur(x));
  }
  return true;
}

void MainWindow::add() {
  if (mode() == ListMode::files) {
    open_file();
    return;
  }
  const std::optional<std::string> name = context_.choices.new_album_name();
  if (!name || !context_.albums.album_add(*name)) return;
  controls_.edit->setText(shown(*name));
  QSignalBlocker quiet(controls_.list);
  controls_.list->addItem(shown(*name));
}

void MainWindow::rename_or_clear() {
  AlbumStore& albums = context_.albums;
  const int x = albums.cur_album();
  if (mode() == ListMode::albums) {
    const std::optional<std::string> name = context_.choices.album_rename(std::string(albums.album(x)));
    if (!name) return;
    albums.album_ren(x, *name);
    fill_list();
    return;
  }
  if (!context_.prompts.ask_yes_no(QT_TRANSLATE_NOOP("Messages", "本当にファイルをすべて削除しますか？"), kConfirmCaption))
    return;
  for (int n = albums.fm_num(x); n > 0; --n) albums.fm_file_del(x, 0);
  QSignalBlocker quiet(controls_.list);
  controls_.list->clear();
}

void MainWindow::show_playing() {
  controls_.stop->setEnabled(true);
  menu_->show_stop_item(QT_TRANSLATE_NOOP("MainMenu", "演奏中止(&A)"));
  playing_changed();
}

// The screen saver stays away while anything plays or renders, if asked.
void MainWindow::playing_changed() {
  context_.keep_awake(context_.en.no_screensaver == 1 && context_.state.play_flag != PlayFlag::idle);
}

void MainWindow::stop() {
  AppState& state = context_.state;
  if (state.play_flag == PlayFlag::idle) return;
  if (state.play_flag == PlayFlag::wave) {
    kvt_wave_stop();  // the rest follows its completion notice
    return;
  }
  if (state.play_flag == PlayFlag::rendering) {
    if (rendering_ != nullptr) rendering_->cancel();
    return;
  }
  _waveout_stop();
  menu_->hide_stop_item();
  controls_.stop->setEnabled(false);
  if (state.play_flag == PlayFlag::converted_song && context_.en.keep_converted == 1) context_.keep_converted();
  state.play_flag = PlayFlag::idle;
  state.exist_doc = false;
  playing_changed();
}

void MainWindow::wave_done() {
  controls_.stop->setEnabled(false);
  menu_->hide_stop_item();
  context_.state.play_flag = PlayFlag::idle;
  context_.state.exist_doc = false;
  playing_changed();
}

void MainWindow::notice(int id, unsigned long serial) {
  const AppState& state = context_.state;
  if (serial != state.serial) return;
  if (id == KVT_COMMAND_SONG_END && (state.play_flag == PlayFlag::song || state.play_flag == PlayFlag::converted_song)) {
    command(604);
  } else if (id == KVT_NOTICE_WAVE_DONE && state.play_flag == PlayFlag::wave) {
    wave_done();
  }
}

// The next song of the play program once a song has ended, counted from
// the album's current file (the selection while its files are listed).
void MainWindow::program_play() {
  stop();
  const int program = context_.en.program_mode;
  if (program < 1 || program > 3) return;
  AlbumStore& albums = context_.albums;
  const int x = albums.cur_album();
  const int count = albums.fm_num(x);
  if (count == 0) return;  // nothing to choose from
  int next = albums.fm_cur(x) + (program == 1 ? 0 : 1);
  if (program == 2 && next >= count) return;  // the program ends after the last file
  if (program == 3) next = static_cast<int>(random_() % static_cast<unsigned>(count));
  albums.set_fm_cur(x, next);
  if (mode() == ListMode::files) {
    const std::string path = file_at(albums, x, next);
    QSignalBlocker quiet(controls_.list);
    controls_.list->setCurrentRow(next);
    controls_.edit->setText(shown(path));
    show_title(path);
  }
  play_current();
  context_.repaint_document_viewer();
}

void MainWindow::play_current() {
  const int x = context_.albums.cur_album();
  context_.state.chosen = file_at(context_.albums, x, context_.albums.fm_cur(x));
  context_.play_chosen();
  if (context_.state.play_flag != PlayFlag::idle) show_playing();
}

void MainWindow::about() {
  const std::string text = std::string("KVT97 ") + kvt_version() + "\n\nplayer " + kvt_version() + ", compiler " +
                           kvtc_version() + ", converters " + mid2kvt_version();
  context_.prompts.inform(text, QT_TRANSLATE_NOOP("Messages", "バージョン情報"), BoxIcon::information);
}

void MainWindow::news_or_back() {
  if (mode() == ListMode::albums) {
    context_.show_help("midi.md");
    return;
  }
  show_mode(ListMode::albums);
  controls_.title_line->clear();
}

void MainWindow::take_file(const std::string& path) {
  if (add_file(path)) command(1);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();  // the owner shuts down in order and then destroys the window
  context_.close_requested();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (carries_files(*event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  take_drop(*event->mimeData());
}

void MainWindow::take_drop(const QMimeData& data) {
  if (const std::optional<std::string> path = one_dropped_file(data, context_.prompts)) take_file(*path);
}

}  // namespace kvt::app
