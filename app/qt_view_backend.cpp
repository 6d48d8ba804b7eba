#include "qt_view_backend.h"

#include <utility>

#include "visual_player_window.h"

namespace kvt::app {

namespace {

QtViewBackend& self(void* context) { return *static_cast<QtViewBackend*>(context); }

}  // namespace

QtViewBackend::QtViewBackend(SnapshotSource source, QObject* parent) : QObject(parent), source_(std::move(source)) {}

QtViewBackend::~QtViewBackend() {
  if (installed_) kvt_set_view_backend(nullptr);
}

kvt_view_backend QtViewBackend::callbacks() {
  kvt_view_backend table{};
  table.context = this;
  table.create = [](void* c, int left, int top, int visible) { return self(c).create(left, top, visible); };
  table.show = [](void* c) { self(c).show(); };
  table.hide = [](void* c) { self(c).hide(); };
  table.position = [](void* c, int* left, int* top) { self(c).position(left, top); };
  table.destroy = [](void* c) { self(c).destroy(); };
  // What changed is in the next snapshot; the details are not needed.
  table.repaint = [](void* c) { self(c).changed(); };
  table.set_dot = [](void* c, int, int) { self(c).changed(); };
  table.reset_dot = [](void* c, int, int) { self(c).changed(); };
  table.track_name = [](void* c, int, const char*, size_t, int) { self(c).changed(); };
  table.header = [](void* c, const char*, const char*, const char*, const char*, const char*) { self(c).changed(); };
  return table;
}

void QtViewBackend::install() {
  const kvt_view_backend table = callbacks();
  kvt_set_view_backend(&table);
  installed_ = true;
}

int QtViewBackend::create(int left, int top, int visible) {
  window_ = std::make_unique<VisualPlayerWindow>();
  connect(window_.get(), &VisualPlayerWindow::closedByUser, this, [] { kvt_view_closed(); });
  window_->move(left, top);
  refresh();
  if (visible == 1) window_->show();
  return 1;
}

void QtViewBackend::show() {
  if (!window_) return;
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void QtViewBackend::hide() {
  if (window_) window_->hide();
}

void QtViewBackend::position(int* left, int* top) const {
  if (!window_) return;
  *left = window_->x();  // the frame's top-left, as move() takes it
  *top = window_->y();
}

void QtViewBackend::destroy() { window_.reset(); }

void QtViewBackend::changed() {
  if (!refresh_posted_.exchange(true))
    QMetaObject::invokeMethod(
        this, [this] { refresh(); }, Qt::QueuedConnection);
}

void QtViewBackend::refresh() {
  // Cleared first, so that a change after the snapshot posts again.
  refresh_posted_ = false;
  if (!window_) return;
  kvt_view_snapshot snapshot{};
  source_(&snapshot);
  window_->draw(snapshot);
}

}  // namespace kvt::app
