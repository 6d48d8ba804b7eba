// The libraries' accounts of their work, as the windows show them: the
// compiler's and converters' appended line by line to the document
// viewer's text, within its size; the player's rendering progress. Both in
// the language the windows speak (English from the command's catalogue).
#pragma once

#include <string>

#include "messages.h"

namespace kvt::app {

void append_log(std::string& text, const frontend::Messages& messages);

// The rendering's progress (UTF-8): each line the player wrote whole, in
// the language the windows speak.
std::string progress_in_window_language(const std::string& utf8);

}  // namespace kvt::app
