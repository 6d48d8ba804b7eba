// File names of a compilation: the extension replacement of the entry
// point, and the song it writes.
#pragma once

#include <string>

#include "letter_case.h"

namespace kvt::compiler {

// The path with everything from its last "." on replaced by `extension`
// (appended when there is no ".").
std::string opt(const std::string& path, const std::string& extension);

// The song data file of an MML source: the ".KVT" name, or an existing
// file whose name differs from it only in letter case.
std::string song_path(const std::string& mmlfile);

}  // namespace kvt::compiler
