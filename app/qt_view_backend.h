// The player library's visual player shown in a Qt window. The library
// makes, shows, hides and destroys the window through this backend on the
// GUI thread, and tells it of every change, often from threads of its own;
// a change only posts one refresh to the GUI thread, which then draws the
// window from a snapshot of the library's picture.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

#include "kvt/player.h"

namespace kvt::app {

class VisualPlayerWindow;

class QtViewBackend : public QObject {
  Q_OBJECT

 public:
  using SnapshotSource = std::function<void(kvt_view_snapshot*)>;

  // Lives on the GUI thread; takes the picture from `source`.
  explicit QtViewBackend(SnapshotSource source = kvt_view_snapshot_get, QObject* parent = nullptr);
  // Uninstalls itself when installed and destroys the window. The library
  // must no longer be playing: its threads call the backend unlocked.
  ~QtViewBackend() override;
  QtViewBackend(const QtViewBackend&) = delete;
  QtViewBackend& operator=(const QtViewBackend&) = delete;

  // The library's callbacks, with this object as their context.
  kvt_view_backend callbacks();
  // The default player's window is made through this backend from now on
  // (call before _set_view).
  void install();

  // The window while it exists, else null.
  VisualPlayerWindow* window() const { return window_.get(); }

 private:
  // GUI thread, from inside the view exports.
  int create(int left, int top, int visible);
  void show();
  void hide();
  void position(int* left, int* top) const;
  void destroy();
  // Any thread: never waits, never touches a widget.
  void changed();
  // GUI thread.
  void refresh();

  SnapshotSource source_;
  std::unique_ptr<VisualPlayerWindow> window_;
  std::atomic<bool> refresh_posted_{false};
  bool installed_ = false;
};

}  // namespace kvt::app
