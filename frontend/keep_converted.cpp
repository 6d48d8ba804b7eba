#include "keep_converted.h"

#include <cstdint>
#include <vector>

#include "atomic_file.h"
#include "file_reasons.h"
#include "song_file.h"
#include "song_names.h"

namespace kvt::frontend {

Outcome keep_converted(const std::string& source, const std::string& song) {
  std::vector<std::uint8_t> image;
  if (const FileRead read = read_song_file(song, image); read != FileRead::ok) {
    return {false, {{MessageKind::error, "cannot keep the converted song: " + song + " " + read_refusal(read)}}};
  }
  const std::string kept = with_extension(source, ".kvt");
  if (!write_file_atomically(kept, image.data(), image.size())) {
    return {false, {cannot("write", kept, reason_for_error(last_write_failure()))}};
  }
  return {true, {}};
}

}  // namespace kvt::frontend
