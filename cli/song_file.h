// A song data file read whole to look inside it, as `kvt info` and the
// warnings about empty songs do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regular_file.h"

namespace kvt::cli {

// Far beyond what 16-bit part offsets in 16-byte units reach.
inline constexpr std::size_t kLargestSong = std::size_t{16} << 20;
// The parts the driver plays; a part table may list more.
inline constexpr unsigned kDriverParts = 240;

inline FileRead read_song_file(const std::string& path, std::vector<std::uint8_t>& image) {
  return read_regular_file(path, kLargestSong, image);
}

}  // namespace kvt::cli
