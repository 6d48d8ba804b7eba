#include "library_log.h"

#include "app_state.h"
#include "language.h"
#include "library_texts.h"

namespace kvt::app {

namespace {

std::string in_language_shown(const std::string& utf8) {
  if (speaking_japanese()) return utf8;
  static const frontend::LibraryTexts english(frontend::MessageCatalogue::load(frontend::english_catalogue_file()));
  return english.report(utf8);
}

}  // namespace

void append_log(std::string& text, const frontend::Messages& messages) {
  for (const frontend::Message& message : messages) {
    text += in_language_shown(message.text);
    if (!message.text.empty() && message.text.back() != '\n') text += '\n';
  }
  if (text.size() >= kTextSize) text.resize(kTextSize - 1);
}

}  // namespace kvt::app
