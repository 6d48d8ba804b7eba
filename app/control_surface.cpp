#include "control_surface.h"

#include <QPalette>
#include <QResizeEvent>
#include <algorithm>

#include "app_colours.h"
#include "app_fonts.h"
#include "main_controls.h"

namespace kvt::app {

ControlSurface::ControlSurface(QWidget* parent) : CellScrollArea(parent), surface_(new QWidget(viewport())) {
  setFrameShape(QFrame::NoFrame);
  QPalette grey = palette();
  grey.setColor(QPalette::Window, kGrey);
  viewport()->setPalette(grey);
  // A scroll area's viewport is drawn as a text field; the controls on it
  // inherit its roles and would draw themselves in text colours.
  viewport()->setBackgroundRole(QPalette::Window);
  viewport()->setAutoFillBackground(true);
  surface_->setObjectName(QStringLiteral("surface"));
  surface_->resize(kSurfaceWidth, kSurfaceRows * kCellHeight);
}

void ControlSurface::resizeEvent(QResizeEvent* event) {
  CellScrollArea::resizeEvent(event);
  const QSize client = viewport()->size();
  const int columns = std::max(0, (kSurfaceWidth - client.width()) / kCellWidth);
  const int rows = std::max(0, kSurfaceRows - client.height() / kCellHeight);
  set_ranges(columns, rows, 8, std::max(1, client.height() / kCellHeight));
  place_surface();
}

void ControlSurface::scrollContentsBy(int, int) { place_surface(); }

void ControlSurface::place_surface() { surface_->move(-column() * kCellWidth, -row() * kCellHeight); }

}  // namespace kvt::app
