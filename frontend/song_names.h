// The names of songs and of the files made from them.
#pragma once

#include <string>

namespace kvt::frontend {

bool has_extension(const std::string& path, const char* extension);  // blind to case
// `path` with the extension of its last component replaced (or added).
std::string with_extension(const std::string& path, const char* extension);

// The song data file that compiling `source` writes.
std::string compiled_song(const std::string& source);
// The same name in `dir` (empty: beside the source), in the letter case of
// a file there whose name differs from it only in that.
std::string compiled_song(const std::string& source, const std::string& dir);

}  // namespace kvt::frontend
