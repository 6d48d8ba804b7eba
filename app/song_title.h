// The title line of a selected file, read without playing or converting:
// the file's last three letters choose the title reader.
#pragma once

#include <string>

namespace kvt::app {

// The title's bytes, "no title" when the reader finds none, or empty for a
// file of another kind. A file that cannot be read also gets its message
// appended to `log` (kept within the log's size).
std::string song_title(const std::string& path, std::string& log);

}  // namespace kvt::app
