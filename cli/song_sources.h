// Turning what the user names into song data that the player reads: MML
// sources are compiled first; song data files are taken as they are.
#pragma once

#include <optional>
#include <string>

namespace kvt::cli {

bool has_extension(const std::string& path, const char* extension);  // blind to case

// Compiles an MML source with `config` (default: the bank's); prints the
// compiler's report to stdout when `verbose`, to stderr on failure.
// Returns the song data file, or nothing when the compilation failed.
std::optional<std::string> compile_mml(const std::string& source, const std::string& config, bool verbose);

// The song data file for `path`: compiled from MML, or `path` itself.
std::optional<std::string> song_for(const std::string& path, const std::string& config);

}  // namespace kvt::cli
