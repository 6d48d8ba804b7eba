#include "song_document.h"

#include <cstdint>
#include <vector>

#include "regular_file.h"

namespace kvt::app {

// A long document is cut, not refused; a pipe would block or hand over
// someone else's stream and a directory has no bytes, so only a regular
// file is a document.
int document(const std::string& path, std::string& text) {
  text.clear();
  std::vector<std::uint8_t> bytes;
  if (read_regular_file_start(path, kDocumentLimit, bytes) != FileRead::ok) return 1;
  text.assign(bytes.begin(), bytes.end());
  return 0;
}

}  // namespace kvt::app
