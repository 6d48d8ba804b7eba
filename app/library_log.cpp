#include "library_log.h"

#include <algorithm>

#include "app_state.h"
#include "language.h"
#include "library_texts.h"

namespace kvt::app {

namespace {

const frontend::LibraryTexts& english() {
  static const frontend::LibraryTexts texts(frontend::MessageCatalogue::load(frontend::english_catalogue_file()));
  return texts;
}

}  // namespace

std::string player_text_in_window_language(const std::string& utf8) {
  if (speaking_japanese()) return utf8;
  std::string shown;
  for (std::size_t at = 0; at <= utf8.size();) {
    const std::size_t end = std::min(utf8.find('\n', at), utf8.size());
    shown += english().text(std::string_view(utf8).substr(at, end - at));
    if (end < utf8.size()) shown += '\n';
    at = end + 1;
  }
  return shown;
}

void append_log(std::string& text, const frontend::Messages& messages) {
  for (const frontend::Message& message : messages) {
    text += speaking_japanese() ? message.text : english().report(message.text);
    if (!message.text.empty() && message.text.back() != '\n') text += '\n';
  }
  if (text.size() >= kTextSize) text.resize(kTextSize - 1);
}

}  // namespace kvt::app
