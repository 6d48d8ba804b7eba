#include "clean_ends.h"
#include "application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <cstdio>

#include "album_file.h"
#include "builtin_albums.h"
#include "dialog_choices.h"
#include "document_viewer.h"
#include "help_viewer.h"
#include "keep_converted.h"
#include "kvt/player.h"
#include "main_window.h"
#include "play_pipeline.h"
#include "qt_prompts.h"
#include "scratch_space.h"
#include "signal_bridge.h"
#include "single_instance.h"
#include "qt_view_backend.h"

namespace kvt::app {

namespace {

// Hands the player library's notices, which come on its threads, to the
// main window on the GUI thread. Never destroyed: a song's end may still
// be on its way while the program ends.
class NoticePoster : public QObject {
 public:
  QPointer<MainWindow> window;
};

NoticePoster* notice_poster() {
  static NoticePoster* const poster = new NoticePoster;
  return poster;
}

void post_notice(void* context, int id, unsigned long serial) {
  auto* poster = static_cast<NoticePoster*>(context);
  QMetaObject::invokeMethod(
      poster, [poster, id, serial] {
        if (poster->window) poster->window->notice(id, serial);
      },
      Qt::QueuedConnection);
}

}  // namespace

Application::Application(ProgramPaths paths, UserPrompts* prompts, UserChoices* choices, QObject* parent)
    : QObject(parent),
      paths_(std::move(paths)),
      qt_prompts_(prompts == nullptr ? std::make_unique<QtPrompts>(nullptr) : nullptr),
      dialog_choices_(choices == nullptr ? std::make_unique<DialogChoices>() : nullptr),
      prompts_(prompts != nullptr ? prompts : qt_prompts_.get()),
      choices_(choices != nullptr ? choices : dialog_choices_.get()),
      albums_(*prompts_) {}

Application::~Application() = default;

std::optional<int> Application::start(const QStringList& files) {
  // First: a stop signal during start-up waits in the bridge until the
  // event loop runs, and then closes the program in order.
  signals_ = std::make_unique<SignalBridge>();
  connect(signals_.get(), &SignalBridge::stop_requested, this, [this] { shut_down(); });
  // Before the settings are read: an earlier program asked to close saves
  // its settings and albums, and this one must start from them.
  make_config_dir(paths_);
  instance_ = std::make_unique<SingleInstance>(SingleInstance::default_socket_path(QString::fromStdString(paths_.config_dir)));
  if (instance_->claim(files.size() == 1) == SingleInstance::Claim::raised_other) return 0;
  load();
  scratch_ = std::make_unique<frontend::ScratchSpace>();
  view_backend_ = std::make_unique<QtViewBackend>();
  view_backend_->install();
  _play_init();
  const kvt_output_options clean = frontend::clean_ends(0);
  kvt_set_output_options(&clean);  // songs that end do so without a click
  _set_view(en_.view_left, en_.view_top, en_.view_visible);
  make_windows();
  if (files.size() == 1) {
    state_.chosen = QFile::encodeName(files.front()).toStdString();
    play_chosen();
    if (state_.play_flag != PlayFlag::idle) main_->show_playing();
  }
  connect(instance_.get(), &SingleInstance::close_requested, this, [this] { shut_down(); });
  connect(instance_.get(), &SingleInstance::raise_requested, this, [this] {
    main_->showNormal();
    main_->raise();
    main_->activateWindow();
  });
  return std::nullopt;
}

void Application::load() {
  language_ = load_language(paths_.languagefile);
  translations_.apply(language_);
  en_ = load_settings(paths_);
  en_.cfg_select = 0;  // every start uses the first configuration
  albums_.set_cur_album(en_.cur_album);
  rebuild_albums(albums_, paths_.sample_dir, paths_.dova_dir, paths_.albumfile);
  // The album file may have lost the album that was current.
  if (albums_.cur_album() < 0 || albums_.cur_album() >= albums_.album_num()) albums_.set_cur_album(0);
}

void Application::make_windows() {
  viewer_ = std::make_unique<DocumentViewer>(state_, *prompts_);
  viewer_->move(en_.doc_left, en_.doc_top);
  viewer_->resize(en_.doc_width, en_.doc_height);
  connect(viewer_.get(), &DocumentViewer::closedByUser, this, [this] { en_.doc_visible = 0; });
  if (en_.doc_visible == 1) viewer_->show();
  help_ = std::make_unique<HelpViewer>(paths_.doc_dir);

  MainWindowContext context{en_,
                            albums_,
                            state_,
                            *prompts_,
                            *choices_,
                            [this] { show_document_viewer(); },
                            [this] { viewer_->refresh(); },
                            [this](const std::string& name) { help_->show_document(name); },
                            [this] { shut_down(); },
                            [this] { play_chosen(); },
                            [this] { keep_converted(); },
                            [this] { return active_config(); },
                            [this](bool awake) { screen_saver_.keep_awake(awake); },
                            language_,
                            [this] { language_chosen(); }};
  main_ = std::make_unique<MainWindow>(std::move(context));
  notice_poster()->window = main_.get();
  if (qt_prompts_) qt_prompts_->set_owner(main_.get());
  if (dialog_choices_) dialog_choices_->set_owner(main_.get());
  connect(viewer_.get(), &DocumentViewer::fileDropped, main_.get(),
          [this](const QString& path) { main_->take_file(path.toStdString()); });
  main_->move(en_.main_left, en_.main_top);
  main_->resize(en_.main_width, en_.main_height);
  main_->show();
}

std::string Application::active_config() const { return paths_.cfgfile[en_.cfg_select == 1 ? 1 : 0]; }

PipelineContext Application::pipeline() {
  return PipelineContext{en_, state_, *prompts_, active_config(), scratch_->dir(),
                         kvt_notify_target{notice_poster(), post_notice}, [this] { viewer_->refresh(); }};
}

void Application::play_chosen() {
  PipelineContext context = pipeline();
  QApplication::setOverrideCursor(Qt::WaitCursor);  // compiling and converting block the window
  nandemo(context);
  QApplication::restoreOverrideCursor();
}

void Application::keep_converted() {
  const frontend::Outcome kept = frontend::keep_converted(state_.chosen, converted_song(pipeline()));
  for (const frontend::Message& message : kept.messages) prompts_->inform(message.text, "KVT97", BoxIcon::error);
}

void Application::cannot_open(const std::string& file) {
  prompts_->inform("Can not open " + file + "!", "KVT97", BoxIcon::exclamation);
}

void Application::language_chosen() {
  translations_.apply(language_);
  if (!save_language(paths_.languagefile, language_)) cannot_open(paths_.languagefile);
}

void Application::show_document_viewer() {
  en_.doc_visible = 1;
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
}

void Application::shut_down() {
  if (shut_down_ || !main_) return;
  shut_down_ = true;
  main_->command(110);
  _DestroyView();
  en_.view_visible = _GetView();
  en_.view_left = _GetLeftView();
  en_.view_top = _GetTopView();
  const QRect doc = viewer_->geometry();
  en_.doc_left = viewer_->frameGeometry().left();
  en_.doc_top = viewer_->frameGeometry().top();
  en_.doc_width = doc.width();
  en_.doc_height = doc.height();
  viewer_.reset();
  help_.reset();
  scratch_.reset();  // the temporary files go with it
  en_.main_left = main_->frameGeometry().left();
  en_.main_top = main_->frameGeometry().top();
  en_.main_width = main_->width();
  en_.main_height = main_->height();
  en_.cur_album = albums_.cur_album();
  if (!save_settings(paths_, en_)) cannot_open(paths_.inifile);
  save_album_file(paths_.albumfile, albums_);
  // Destroyed with the application: this may run inside the window's own
  // close event.
  main_->hide();
  QApplication::quit();
}

int run_application(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kvt97"));
  QApplication::setQuitOnLastWindowClosed(false);  // the main window closes in its own order
  QStringList files = QApplication::arguments();
  files.removeFirst();
  Application app(program_paths());
  if (const std::optional<int> code = app.start(files)) return *code;
  return QApplication::exec();
}

}  // namespace kvt::app
