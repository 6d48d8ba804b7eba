#include "qt_prompts.h"

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

}  // namespace

void QtPrompts::inform(const std::string& text, const std::string& caption, BoxIcon icon) {
  QMessageBox box(qt_icon(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                  owner_);
  box.exec();
}

bool QtPrompts::ask_yes_no(const std::string& text, const std::string& caption) {
  return QMessageBox::question(owner_, QString::fromStdString(caption), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace kvt::app
