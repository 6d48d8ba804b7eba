#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace kvt {

int create_beside(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool commit_beside(int fd, const std::string& temp, const std::string& target) {
  const bool synced = fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (synced && closed && std::rename(temp.c_str(), target.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

bool write_file_atomically(const std::string& target, const void* data, std::size_t size) {
  std::string temp;
  const int fd = create_beside(target, temp);
  if (fd < 0) return false;
  if (!write_all(fd, static_cast<const std::uint8_t*>(data), size)) {
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  return commit_beside(fd, temp, target);
}

}  // namespace kvt
