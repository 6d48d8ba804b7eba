// A song data file read whole to look inside it or to copy it, as `kvt info`,
// the warnings about empty songs and keeping a converted song do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regular_file.h"

namespace kvt::frontend {

// Far beyond what 16-bit part offsets in 16-byte units reach.
inline constexpr std::size_t kLargestSong = std::size_t{16} << 20;
// The parts the driver plays; a part table may list more.
inline constexpr unsigned kDriverParts = 240;

inline FileRead read_song_file(const std::string& path, std::vector<std::uint8_t>& image) {
  return read_regular_file(path, kLargestSong, image);
}

// Why read_song_file gave `read`, to follow the file's name: "is a folder".
std::string read_refusal(FileRead read);

}  // namespace kvt::frontend
