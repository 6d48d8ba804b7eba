#include "app_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace kvt::app {

namespace {

QString cell_family() {
  const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
  for (const char* preferred : {"IPAMincho", "IPAGothic"}) {
    if (families.contains(QString::fromLatin1(preferred))) return QString::fromLatin1(preferred);
  }
  for (const QString& family : families) {
    if (QFontDatabase::isFixedPitch(family)) return family;
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace

QFont cell_font() {
  static const QString family = cell_family();
  QFont font(family);
  font.setPixelSize(kCellHeight);
  font.setWeight(QFont::Normal);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace kvt::app
