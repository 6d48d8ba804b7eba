// The main window's client area: a surface of 600 pixels by 25 rows that
// holds the controls and scrolls by columns of 8 pixels and rows of 16 when
// the window is smaller.
#pragma once

#include "cell_scroll_area.h"

namespace kvt::app {

class ControlSurface : public CellScrollArea {
  Q_OBJECT

 public:
  explicit ControlSurface(QWidget* parent = nullptr);
  QWidget* surface() const { return surface_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void place_surface();

  QWidget* surface_;
};

}  // namespace kvt::app
