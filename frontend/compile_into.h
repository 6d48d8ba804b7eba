// Compiling an MML source into a folder of one's choice. The compiler
// writes its song only beside the source, so the song is compiled there and
// moved; only the chosen folder changes.
#pragma once

#include <string>

#include "messages.h"

namespace kvt::frontend {

// Compiles `source` into compiled_song(source, dir). A song that was beside
// the source before is there again afterwards, and the song in `dir` is
// replaced whole or not at all.
Outcome compile_mml_into(const std::string& source, const std::string& config, const std::string& dir);

}  // namespace kvt::frontend
