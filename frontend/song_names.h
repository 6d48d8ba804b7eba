// The names of songs and of the files made from them.
#pragma once

#include <string>

namespace kvt::frontend {

bool has_extension(const std::string& path, const char* extension);  // blind to case
// `path` with the extension of its last component replaced (or added).
std::string with_extension(const std::string& path, const char* extension);

// The song data file that compiling `source` writes.
std::string compiled_song(const std::string& source);

}  // namespace kvt::frontend
