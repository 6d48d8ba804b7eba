// The libraries' accounts of their work, as the windows show them: the
// compiler's and converters' appended line by line to the document
// viewer's text, within its size; the player's progress and labels. All in
// the language the windows speak (English from the command's catalogue).
#pragma once

#include <string>

#include "messages.h"

namespace kvt::app {

void append_log(std::string& text, const frontend::Messages& messages);

// A text of the player (UTF-8), each line of which it writes whole (the
// rendering's progress, the visual player's labels), in the language the
// windows speak.
std::string player_text_in_window_language(const std::string& utf8);

}  // namespace kvt::app
