// The visual player's picture: a 640 × 400 surface with the song's header
// lines, the names of 17 tracks and a keyboard of 96 keys for each, on
// which the keys that are down show as red dots.
#pragma once

#include <QImage>

#include "kvt/player.h"

class QPainter;

namespace kvt::app {

inline constexpr int kViewWidth = 640;
inline constexpr int kViewHeight = 400;

class ViewPicture {
 public:
  // The background alone: frame, panels and empty keyboards.
  ViewPicture();

  // Brings the picture to the state of `snapshot`: all of it again when a
  // text changed, else only the dots that changed.
  void draw(const kvt_view_snapshot& snapshot);

  const QImage& image() const { return image_; }

 private:
  void draw_background(QPainter& painter);
  void draw_texts(QPainter& painter, const kvt_view_snapshot& snapshot);
  void draw_dot(QPainter& painter, int row, int key, bool lit);

  QImage image_;
  kvt_view_snapshot shown_{};  // empty texts and no keys: the background
};

}  // namespace kvt::app
