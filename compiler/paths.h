// File names of a compilation: the extension replacement of the entry
// point, and finding a file whose name differs only in letter case.
#pragma once

#include <string>

namespace kvt::compiler {

// The path with everything from its last "." on replaced by `extension`
// (appended when there is no ".").
std::string opt(const std::string& path, const std::string& extension);

// The song data file of an MML source: the ".KVT" name, or an existing
// file whose name differs from it only in letter case.
std::string song_path(const std::string& mmlfile);

// The path of an existing file in the same directory whose name equals
// the path's name apart from letter case, the exact spelling first; the
// path itself when there is none.
std::string resolve_case(const std::string& path);

}  // namespace kvt::compiler
