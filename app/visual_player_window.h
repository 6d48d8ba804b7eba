// The visual player window: a fixed 640 × 400 client area that shows the
// player library's picture of the playing song. Repainting it shows the
// whole picture, lit keys included.
#pragma once

#include <QWidget>

#include "kvt/player.h"
#include "view_picture.h"

namespace kvt::app {

class VisualPlayerWindow : public QWidget {
  Q_OBJECT

 public:
  explicit VisualPlayerWindow(QWidget* parent = nullptr);

  // Brings the picture to `snapshot` and repaints.
  void draw(const kvt_view_snapshot& snapshot);
  const QImage& picture() const { return picture_.image(); }

 signals:
  // The user closed the window: it is hidden, not destroyed.
  void closedByUser();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ViewPicture picture_;
};

}  // namespace kvt::app
