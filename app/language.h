// The language of the windows: Japanese is the program's own, written in
// its code; English comes from the translation catalogue. The user picks
// one, or lets the desktop's locale decide.
#pragma once

#include <QLocale>
#include <QTranslator>
#include <string>

namespace kvt::app {

enum class Language { system = 0, japanese = 1, english = 2 };

// The choice stored in `file`; `system` when there is none or it is not
// one of ours.
Language load_language(const std::string& file);
// Stores the choice atomically; false when it could not be written.
bool save_language(const std::string& file, Language language);

// Whether the windows speak Japanese for `choice` under `locale`.
bool speaks_japanese(Language choice, const QLocale& locale);

// Whether the windows speak Japanese now, by the catalogues last applied
// (Japanese before any).
bool speaking_japanese();

// The catalogues installed in the running application. Changing them sends
// every window a language-change event, on which it relabels itself.
class Translations {
 public:
  Translations() = default;
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;
  ~Translations();

  // Installs what `choice` needs under `locale`: for English the program's
  // catalogue, for Japanese Qt's own (for the buttons of standard boxes).
  void apply(Language choice, const QLocale& locale = QLocale::system());

 private:
  void remove_all();

  QTranslator program_;
  QTranslator qt_;
  bool program_installed_ = false;
  bool qt_installed_ = false;
};

}  // namespace kvt::app
