// The one font of the program's windows: a Japanese face whose half-width
// characters are 8 × 16 pixel cells.
#pragma once

#include <QFont>

namespace kvt::app {

inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 16;

// IPA Mincho, else IPA Gothic, else any fixed-pitch font that has Japanese,
// 16 pixels high.
QFont cell_font();

}  // namespace kvt::app
