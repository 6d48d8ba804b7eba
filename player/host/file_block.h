// Reading a whole file into one block with spare bytes after it.
#pragma once

#include <cstddef>

#include "player_context.h"

namespace kvt::host {

enum class ReadResult { ok, not_found, no_memory };

// Only regular files are read; anything that cannot be opened or read in
// full counts as not found.
ReadResult read_file_block(const char* path, std::size_t spare, FileBlock& block);

}  // namespace kvt::host
