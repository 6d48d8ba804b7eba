// The program from start to end: it finds its files, meets an earlier
// instance, loads its settings and albums, makes its windows, and when the
// main window closes (or a stop signal comes) stops what plays and saves
// everything in order.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

#include "album_store.h"
#include "app_state.h"
#include "language.h"
#include "program_paths.h"
#include "screen_saver.h"
#include "settings_record.h"

namespace kvt::frontend {
class ScratchSpace;
}

namespace kvt::app {

class DialogChoices;
struct PipelineContext;
class DocumentViewer;
class HelpViewer;
class MainWindow;
class QtPrompts;
class QtViewBackend;
class SignalBridge;
class SingleInstance;
class UserChoices;
class UserPrompts;

class Application : public QObject {
  Q_OBJECT

 public:
  // Message boxes and dialogs are Qt's own unless others are given (which
  // must outlive the application).
  explicit Application(ProgramPaths paths, UserPrompts* prompts = nullptr, UserChoices* choices = nullptr,
                       QObject* parent = nullptr);
  ~Application() override;

  // Brings the program up with the files named on its command line. An
  // exit code when it is to end at once (an earlier instance was raised).
  std::optional<int> start(const QStringList& files);
  // Stops, stores the windows' places, writes the settings and album files
  // and ends the event loop.
  void shut_down();

  MainWindow* main_window() const { return main_.get(); }
  DocumentViewer* document_viewer() const { return viewer_.get(); }
  const Settings& settings() const { return en_; }
  AlbumStore& albums() { return albums_; }

 private:
  void load();
  void make_windows();
  void show_document_viewer();
  std::string active_config() const;
  PipelineContext pipeline();
  void play_chosen();
  void keep_converted();
  void language_chosen();
  // A file the program could not write.
  void cannot_open(const std::string& file);

  ProgramPaths paths_;
  Settings en_;
  AppState state_;
  std::unique_ptr<QtPrompts> qt_prompts_;
  std::unique_ptr<DialogChoices> dialog_choices_;
  UserPrompts* prompts_;
  UserChoices* choices_;
  AlbumStore albums_;
  std::unique_ptr<frontend::ScratchSpace> scratch_;
  std::unique_ptr<SingleInstance> instance_;
  std::unique_ptr<SignalBridge> signals_;
  std::unique_ptr<QtViewBackend> view_backend_;
  std::unique_ptr<DocumentViewer> viewer_;
  std::unique_ptr<HelpViewer> help_;
  ScreenSaverInhibitor screen_saver_;
  Language language_ = Language::system;
  Translations translations_;
  std::unique_ptr<MainWindow> main_;
  bool shut_down_ = false;
};

// The whole program: its exit code.
int run_application(int argc, char** argv);

}  // namespace kvt::app
