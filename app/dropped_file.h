// Files dropped on a window of the program: exactly one is taken.
#pragma once

#include <optional>
#include <string>

#include "user_prompts.h"

class QMimeData;

namespace kvt::app {

// Whether a drag carries files of this computer (only those are dropped).
bool carries_files(const QMimeData& data);

// The path of the one local file dropped, in the file system's bytes; for
// several files, or anything else, the error box "1個しか受け付けられません"
// and nothing.
std::optional<std::string> one_dropped_file(const QMimeData& data, UserPrompts& prompts);

}  // namespace kvt::app
