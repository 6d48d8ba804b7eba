#include "memory_file.h"

#include <unistd.h>

#include <cstring>

#include "atomic_file.h"
#include "regular_file.h"

namespace kvt::convert {
namespace {

void raise_high_water(memory_file& f) {
  if (f.mode == 1 && f.cur > f.end) f.end = f.cur;
}

bool read_whole(const std::string& path, memory_file& f, Messages& messages) {
  switch (read_regular_file(path, kLargestInput, f.buffer)) {
    case FileRead::ok:
      f.end = f.buffer.size();
      return true;
    case FileRead::too_large:
      messages.append("Out of Memory #fopen2\n");
      return false;
    default:  // missing, unreadable, or no regular file: a folder, a device, a pipe
      messages.append("ERROR! Unable to open %s\n", path.c_str());
      return false;
  }
}

// A write target must be creatable: try it now, so that the failure is
// reported where the file is opened.
bool writable(const std::string& path) {
  std::string temp;
  const int fd = create_beside(path, temp);
  if (fd < 0) return false;
  close(fd);
  unlink(temp.c_str());
  return true;
}

}  // namespace

bool fopen2(const std::string& path, const char* mode, memory_file& f, Messages& messages) {
  f = memory_file{};
  f.path = path;
  if (mode[0] == 'r') return read_whole(path, f, messages);
  f.mode = 1;
  if (!writable(path)) {
    messages.append("ERROR! Unable to open %s\n", path.c_str());
    return false;
  }
  f.buffer.assign(kWriteBufferSize, 0);
  return true;
}

int fgetc2(memory_file& f) {
  if (f.cur >= f.end) return -1;
  return f.buffer[f.cur++];
}

void fseek2(memory_file& f, long offset, int whence) {
  raise_high_water(f);
  const long base = whence == 0 ? 0 : static_cast<long>(f.cur);
  const long target = base + offset;
  f.cur = target < 0 ? 0 : static_cast<std::size_t>(target);
  raise_high_water(f);
}

std::size_t ftell2(const memory_file& f) { return f.cur; }

void fsetpos2(memory_file& f, std::size_t offset) {
  raise_high_water(f);
  f.cur = offset;
}

bool scan_to(memory_file& f, const char* tag) {
  std::uint8_t window[4] = {};
  int have = 0;
  for (int b; (b = fgetc2(f)) >= 0;) {
    std::memmove(window, window + 1, 3);
    window[3] = static_cast<std::uint8_t>(b);
    if (++have >= 4 && std::memcmp(window, tag, 4) == 0) return true;
  }
  return false;
}

void fputc2(memory_file& f, int byte, Messages& messages) {
  if (f.cur >= f.buffer.size()) {
    messages.append("ERROR! The output is larger than %zu bytes.\n", kWriteBufferSize);
    throw Stop{};
  }
  f.buffer[f.cur++] = static_cast<std::uint8_t>(byte);
  raise_high_water(f);
}

void fwrite2(memory_file& f, const std::uint8_t* data, std::size_t count, Messages& messages) {
  for (std::size_t i = 0; i < count; ++i) fputc2(f, data[i], messages);
}

bool fclose2(memory_file& f, Messages& messages) {
  if (f.mode != 1) return true;
  raise_high_water(f);
  if (!write_file_atomically(f.path, f.buffer.data(), f.end)) {
    messages.append("ERROR! Unable to open %s\n", f.path.c_str());
    return false;
  }
  return true;
}

}  // namespace kvt::convert
