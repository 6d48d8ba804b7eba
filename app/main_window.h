// The main window: the album list that turns into one album's file list,
// the column of buttons, the menu bar and drops of one file. Every button
// and menu item runs a command by its id.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <random>

#include "language.h"
#include "main_controls.h"

class QMimeData;

namespace kvt::app {

class AlbumStore;
class WaveOutputDialog;
class MainMenu;
class UserChoices;
class UserPrompts;
struct AppState;
struct ProgramPaths;
struct Settings;

// What the window works on; all of it outlives the window.
struct MainWindowContext {
  Settings& en;
  AlbumStore& albums;
  AppState& state;
  UserPrompts& prompts;
  UserChoices& choices;
  // Show and raise the document viewer, repaint it, show a help document
  // by its file name.
  std::function<void()> show_document_viewer;
  std::function<void()> repaint_document_viewer;
  std::function<void(const std::string&)> show_help;
  // The window was asked to close: the owner shuts down in order.
  std::function<void()> close_requested;
  // Plays state.chosen through the play-anything pipeline.
  std::function<void()> play_chosen;
  // Copies the converted song that was playing beside its source.
  std::function<void()> keep_converted;
  // The voice configuration the compiler and converters use now.
  std::function<std::string()> active_config;
  // Keeps the screen saver away (true) or lets it come again.
  std::function<void(bool)> keep_awake;
  // The language chosen in the menu; after a change the owner stores it
  // and installs its catalogues.
  Language& language;
  std::function<void()> language_chosen;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowContext context, QWidget* parent = nullptr);
  ~MainWindow() override;

  void command(int id);
  // Adds a dropped (or otherwise given) file to the current album, then
  // runs command 1.
  void take_file(const std::string& path);
  // Files dropped on this window or the document viewer: exactly one is
  // taken.
  void take_drop(const QMimeData& data);
  // The player library's notice (the end of a song or of a WAVE file)
  // about the playback `serial`; stale ones are dropped.
  void notice(int id, unsigned long serial);
  // Renders `song` into `wav` with the WAVE settings under the progress
  // dialog; true when a file was written.
  bool render_wave(const std::string& song, const std::string& wav);
  // Something has started to play: the stop button and menu item appear.
  void show_playing();
  const MainControls& controls() const { return controls_; }
  MainMenu& menu() { return *menu_; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  ListMode mode() const;
  void show_mode(ListMode mode);
  void fill_list();
  void selection_changed(int row);
  void show_title(const std::string& path);
  void convert(int id);                     // 120 to 124
  void about();                             // 350
  void choose_language(Language language);  // 700 to 702

  void choose();         // 1
  void remove();         // 105
  void open_file();      // 106
  // Adds `path` to the current album, shown and selected when its files
  // are listed; false when the album has no room.
  bool add_file(const std::string& path);
  void add();            // 107
  void rename_or_clear();  // 109
  void stop();           // 110
  void news_or_back();   // 601
  void program_play();   // 604
  void wave_done();
  void play_current();  // the current file of the current album
  void playing_changed();

  MainWindowContext context_;
  MainControls controls_;
  std::unique_ptr<MainMenu> menu_;
  WaveOutputDialog* rendering_ = nullptr;  // while a WAVE file is written
  std::minstd_rand random_{std::random_device{}()};  // the random play program's choices
};

}  // namespace kvt::app
