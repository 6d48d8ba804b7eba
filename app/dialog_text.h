// The dialogs' texts are written in Japanese in the code, each marked with
// QT_TRANSLATE_NOOP("Dialogs", ...) so that the catalogue tool finds it,
// and looked up when a dialog is made.
#pragma once

#include <QCoreApplication>

namespace kvt::app {

inline QString dialog_text(const char* source) { return QCoreApplication::translate("Dialogs", source); }

}  // namespace kvt::app
