// Whole files in memory: a file opened for reading is read in one go; a
// file opened for writing is built in a fixed buffer and reaches the disk
// only at fclose2, under a temporary name renamed over the target, so a
// conversion that stops half-way never leaves a file that looks complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "messages.h"

namespace kvt::convert {

inline constexpr std::size_t kWriteBufferSize = 420000;
inline constexpr std::size_t kLargestInput = std::size_t{64} << 20;

struct memory_file {
  std::vector<std::uint8_t> buffer;
  std::size_t cur = 0;
  std::size_t end = 0;  // read: end of the data; write: the furthest position reached
  int mode = 0;         // 0 read, 1 write
  std::string path;     // write: the target
};

// Mode "rb" reads `path` whole, which must be a regular file of at most
// kLargestInput bytes; any other mode prepares a write. Appends "ERROR!
// Unable to open ..." (a larger file: "Out of Memory #fopen2") and returns
// false when that fails.
bool fopen2(const std::string& path, const char* mode, memory_file& file, Messages& messages);
int fgetc2(memory_file& file);  // the next byte, or -1 at the end
void fseek2(memory_file& file, long offset, int whence);  // whence 0 from the start, 1 from cur
std::size_t ftell2(const memory_file& file);
void fsetpos2(memory_file& file, std::size_t offset);
// Writes at cur; a write past the buffer appends a message and stops the
// conversion.
void fputc2(memory_file& file, int byte, Messages& messages);
void fwrite2(memory_file& file, const std::uint8_t* data, std::size_t count, Messages& messages);
// Reads on until the last four bytes read are `tag`; false at the end.
bool scan_to(memory_file& file, const char* tag);
// Write mode: puts the data up to the furthest position on disk. Appends
// "ERROR! Unable to open ..." and returns false when that fails.
bool fclose2(memory_file& file, Messages& messages);

}  // namespace kvt::convert
