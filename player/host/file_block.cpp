#include "file_block.h"

#include <new>

#include "regular_file.h"

namespace kvt::host {

ReadResult read_file_block(const char* path, std::size_t spare, FileBlock& block) {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t file_size = 0;
  const FileRead read = read_regular_file(path, SIZE_MAX - spare, [&](std::size_t size) {
    file_size = size;
    bytes.reset(new (std::nothrow) std::uint8_t[size + spare]);
    return bytes.get();
  });
  if (read == FileRead::too_large) return ReadResult::no_memory;
  if (read != FileRead::ok) return ReadResult::not_found;
  block.bytes = std::move(bytes);
  block.file_size = file_size;
  block.size = file_size + spare;
  return ReadResult::ok;
}

}  // namespace kvt::host
