#include "song_file.h"

namespace kvt::frontend {

std::string read_refusal(FileRead read) {
  switch (read) {
    case FileRead::directory: return "is a folder";
    case FileRead::not_regular: return "is not a regular file";
    case FileRead::too_large:
      return "is larger than " + std::to_string(kLargestSong) + " bytes, more than any song data file holds";
    default: return "is not found";
  }
}

}  // namespace kvt::frontend
