// The library's progress field as one line in the command's language.
#pragma once

#include <string>

namespace kvt::cli {

// The field may hold several lines; they are joined by spaces, each one
// translated.
std::string progress_line(const char* field);

}  // namespace kvt::cli
