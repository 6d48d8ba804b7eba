#include "standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "atomic_file.h"

namespace kvt::cli {

int copy_to_stdout(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  std::fflush(stdout);  // anything buffered comes first, not inside the sound
  std::vector<std::uint8_t> buffer(1 << 16);
  int error = 0;
  for (;;) {
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    if (!write_all(STDOUT_FILENO, buffer.data(), static_cast<std::size_t>(got))) {
      error = last_write_failure();
      break;
    }
  }
  close(fd);
  return error;
}

}  // namespace kvt::cli
