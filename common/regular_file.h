// Reading a whole file that the user named, which may be anything: only a
// regular file is read, never more than a limit, and opening never waits
// (an ordinary open of a pipe waits for a writer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvt {

enum class FileRead {
  ok,
  unreadable,   // missing, not permitted, or failing while read
  directory,
  not_regular,  // a device, pipe or socket
  too_large,    // beyond the limit, or beyond the memory to hold it
};

// Reads the file into the buffer `allocate(size)` gives for its size (null
// when there is no memory for it: too_large).
FileRead read_regular_file(const std::string& path, std::size_t limit,
                           const std::function<std::uint8_t*(std::size_t)>& allocate);

// Replaces `data` with the file's bytes when the result is ok.
FileRead read_regular_file(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& data);
// The same for at most the first `limit` bytes: a longer file is cut, not
// refused.
FileRead read_regular_file_start(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& data);

}  // namespace kvt
