// Reading pictures in tests: a pixel as "(r,g,b)" for readable failures,
// and the text pixels (light on a dark panel) in a box.
#pragma once

#include <QImage>
#include <QRect>
#include <string>

namespace kvt::test {

inline std::string colour_at(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return "(" + std::to_string(qRed(p)) + "," + std::to_string(qGreen(p)) + "," + std::to_string(qBlue(p)) + ")";
}

inline const std::string kWhite = "(255,255,255)";
inline const std::string kBlack = "(0,0,0)";
inline const std::string kDarkBlue = "(0,0,127)";
inline const std::string kGrey = "(63,63,63)";
inline const std::string kSeparatorGrey = "(127,127,127)";
inline const std::string kRed = "(255,0,0)";

// Glyph pixels: white text, anti-aliased over dark blue, keeps red and
// green well up. Only the part of `wanted` on the image counts.
inline int text_pixels(const QImage& image, const QRect& wanted) {
  const QRect box = wanted & image.rect();
  int count = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) > 100 && qGreen(p) > 100) ++count;
    }
  }
  return count;
}

// The rightmost column of `box` with a glyph pixel, or -1.
inline int rightmost_text(const QImage& image, const QRect& box) {
  for (int x = box.right(); x >= box.left(); --x) {
    if (text_pixels(image, QRect(x, box.top(), 1, box.height())) > 0) return x;
  }
  return -1;
}

}  // namespace kvt::test
