// Where the read-only assets are: beside the program in the build tree
// (bin/../share/kvt97) or under the installation prefix. Every program in
// bin/ finds them the same way.
#pragma once

#include <string>

namespace kvt::frontend {

// For the program at `program`: its ../share/kvt97 when that is a folder,
// else the installed assets.
std::string asset_dir_for(const std::string& program);
std::string asset_dir();  // for the running program

}  // namespace kvt::frontend
