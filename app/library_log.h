// The compiler's and converters' accounts of their work, as the document
// viewer shows them: appended line by line to its text, within its size,
// in the language the windows speak (English from the command's catalogue).
#pragma once

#include <string>

#include "messages.h"

namespace kvt::app {

void append_log(std::string& text, const frontend::Messages& messages);

}  // namespace kvt::app
