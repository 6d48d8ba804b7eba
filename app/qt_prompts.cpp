#include "qt_prompts.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kvt::app {

namespace {

QMessageBox::Icon qt_icon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::exclamation: return QMessageBox::Warning;
    case BoxIcon::error: return QMessageBox::Critical;
    case BoxIcon::information: return QMessageBox::Information;
    case BoxIcon::none: break;
  }
  return QMessageBox::NoIcon;
}

// Texts come in Japanese, marked for the catalogue in the "Messages" scope;
// others (the libraries' messages, file names) have no entry and stay.
QString translated(const std::string& text) { return QCoreApplication::translate("Messages", text.c_str()); }

}  // namespace

void QtPrompts::inform(const std::string& text, const std::string& caption, BoxIcon icon) {
  QMessageBox box(qt_icon(icon), translated(caption), translated(text), QMessageBox::Ok, owner_);
  box.exec();
}

bool QtPrompts::ask_yes_no(const std::string& text, const std::string& caption) {
  return QMessageBox::question(owner_, translated(caption), translated(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace kvt::app
