#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>

namespace kvt::app {

namespace {

const QString kKey = QStringLiteral("language");
bool japanese_now = true;  // the GUI thread's, as Qt's installed catalogues are

const char* name_of(Language language) {
  switch (language) {
    case Language::japanese:
      return "japanese";
    case Language::english:
      return "english";
    case Language::system:
      break;
  }
  return "system";
}

}  // namespace

Language load_language(const std::string& file) {
  const QSettings stored(QString::fromStdString(file), QSettings::IniFormat);
  const QString name = stored.value(kKey).toString();
  for (Language language : {Language::japanese, Language::english}) {
    if (name == QLatin1String(name_of(language))) return language;
  }
  return Language::system;
}

bool save_language(const std::string& file, Language language) {
  QSettings stored(QString::fromStdString(file), QSettings::IniFormat);
  stored.setValue(kKey, QLatin1String(name_of(language)));
  stored.sync();
  return stored.status() == QSettings::NoError;
}

bool speaking_japanese() { return japanese_now; }

bool speaks_japanese(Language choice, const QLocale& locale) {
  if (choice != Language::system) return choice == Language::japanese;
  return locale.language() == QLocale::Japanese;
}

Translations::~Translations() { remove_all(); }

void Translations::remove_all() {
  if (program_installed_) QCoreApplication::removeTranslator(&program_);
  if (qt_installed_) QCoreApplication::removeTranslator(&qt_);
  program_installed_ = qt_installed_ = false;
}

void Translations::apply(Language choice, const QLocale& locale) {
  remove_all();
  japanese_now = speaks_japanese(choice, locale);
  if (japanese_now) {
    // Without Qt's catalogue (not every system has it) its buttons stay English.
    if (qt_.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      qt_installed_ = QCoreApplication::installTranslator(&qt_);
    }
    return;
  }
  if (program_.load(QStringLiteral(":/i18n/kvt97_en.qm"))) {
    program_installed_ = QCoreApplication::installTranslator(&program_);
  }
}

}  // namespace kvt::app
