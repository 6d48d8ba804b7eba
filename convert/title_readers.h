// The titles of song data, MIDI and RCP files, read without converting
// anything, for title lines and lists.
#pragma once

#include <cstddef>
#include <string>

#include "messages.h"

namespace kvt::convert {

// Each returns 0 with the NUL-terminated title in `buf` (cut to
// `size` - 1 bytes), or -1. Only a file that cannot be read leaves a message.
int gettitle_fm(const std::string& path, char* buf, std::size_t size, Messages& messages);
int gettitle_mid(const std::string& path, char* buf, std::size_t size, Messages& messages);
int gettitle_rcp(const std::string& path, char* buf, std::size_t size, Messages& messages);

}  // namespace kvt::convert
