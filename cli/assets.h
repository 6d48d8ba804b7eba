// Where the read-only assets are: beside the program in the build tree
// (bin/../share/kvt97) or under the installation prefix.
#pragma once

#include <string>

namespace kvt::cli {

std::string asset_dir();
std::string default_voice_dir();    // the default voice bank
std::string default_config_file();  // its voice configuration

}  // namespace kvt::cli
