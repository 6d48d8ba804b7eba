// The libraries' own texts as the user reads them: as the libraries wrote
// them, or in English from the message catalogue. The libraries themselves
// always write their original texts.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "message_catalogue.h"

namespace kvt::frontend {

// The catalogue's context of fragments of report lines.
inline constexpr std::string_view kReportContext = "report";

class LibraryTexts {
 public:
  LibraryTexts() = default;  // the original texts
  explicit LibraryTexts(const MessageCatalogue& english);

  // A report: every fixed fragment the catalogue knows is replaced where it
  // stands, and what varies around it (names, numbers, parts) stays.
  std::string report(std::string_view utf8) const;
  // A text the libraries give whole (a status or a label), else as it is.
  std::string text(std::string_view utf8) const;

 private:
  MessageCatalogue whole_;
  std::vector<std::pair<std::string, std::string>> fragments_;  // longest first
};

// Where the English catalogue is for the running program: beside it in
// the build tree (bin/../share/locale), else under the installation prefix.
std::string english_catalogue_file();

// Whether the locale asks for Japanese, decided by its name alone (it need
// not be installed): the first of LANGUAGE's languages unless the locale is
// C or POSIX, else the locale that LC_ALL, LC_MESSAGES or LANG names.
bool locale_wants_japanese();

// The texts for the running program's locale, loaded once.
const LibraryTexts& texts_for_locale();

}  // namespace kvt::frontend
