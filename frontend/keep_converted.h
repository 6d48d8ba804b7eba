// Keeping a converted song, so that next time its song data can be chosen
// directly instead of converting again.
#pragma once

#include <string>

#include "messages.h"

namespace kvt::frontend {

// Copies `song` (a converted song in scratch space) beside `source`, named
// as the source with ".kvt". The copy appears complete or not at all: an
// earlier file of that name is replaced only by a complete copy, and stays
// as it was when the copy fails (the error names the file and the reason).
Outcome keep_converted(const std::string& source, const std::string& song);

}  // namespace kvt::frontend
