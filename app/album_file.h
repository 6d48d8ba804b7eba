// The album file: the user's albums (2 onwards) as text, each a line
// "[name]", a line per file path and an empty line, lines ended by CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvt::app {

class AlbumStore;

inline constexpr std::size_t kAlbumNameLimit = 256;   // bytes of a name read from a header
inline constexpr std::size_t kAlbumPathLimit = 4095;  // bytes of a path line (a path's longest)

// Adds the albums and files that `text` holds. A line starting with "["
// (after any CR, LF and spaces) is a header: the name runs to "]", CR or LF
// and text after its "]" is the album's first file. Any other line is a
// path added to the last album present. Longer names and paths are cut to
// their limit and the rest of their line is dropped; within a path "[" is
// an ordinary byte.
void read_album_text(std::string_view text, AlbumStore& albums);

// Reads the album file into `albums`; false when it cannot be read.
bool load_album_file(const std::string& path, AlbumStore& albums);

// The album file's text for albums 2 onwards.
std::string album_file_text(const AlbumStore& albums);

// Writes the album file whole, atomically; false when it could not be
// written (an earlier file stays as it was).
bool save_album_file(const std::string& path, const AlbumStore& albums);

}  // namespace kvt::app
