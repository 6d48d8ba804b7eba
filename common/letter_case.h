// Finding a file whose name differs from the one asked for only in letter
// case: songs and sources come from systems where case does not count.
#pragma once

#include <string>

namespace kvt {

// The path of an existing file in the same directory whose name equals
// the path's name apart from letter case, the exact spelling first; the
// path itself when there is none.
std::string resolve_case(const std::string& path);

}  // namespace kvt
