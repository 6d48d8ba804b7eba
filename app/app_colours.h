// The colours the program's windows share.
#pragma once

#include <QColor>

namespace kvt::app {

inline const QColor kGrey(127, 127, 127);      // window backgrounds, key separators
inline const QColor kDarkBlue(0, 0, 127);      // lists, panels, the document viewer
inline const QColor kDarkRed(127, 0, 0);       // the main window's edit field
inline const QColor kCyan(0, 255, 255);        // the main window's captions
inline const QColor kGreen(0, 255, 0);         // the title line
inline const QColor kDarkGrey(63, 63, 63);     // the visual player's background
inline const QColor kRed(255, 0, 0);           // keys that are down

}  // namespace kvt::app
