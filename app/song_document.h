// A song's accompanying document, read into the viewer's text buffer.
#pragma once

#include <cstddef>
#include <string>

#include "app_state.h"

namespace kvt::app {

// The buffer keeps one byte for its terminating NUL.
inline constexpr std::size_t kDocumentLimit = kTextSize - 1;

// Replaces `text` with the first kDocumentLimit bytes of the file and
// returns 0; when the file cannot be opened, or is no regular file, `text`
// becomes empty and it returns 1.
int document(const std::string& path, std::string& text);

}  // namespace kvt::app
