#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace kvt {
namespace {

std::atomic<int> write_failure{0};

// Keeps `error` for the caller who wants to say why; returns `result`.
template <class T>
T failed(int error, T result) {
  write_failure = error;
  return result;
}

// A device, pipe or folder in the target's place would be replaced by the
// rename: a device node of the system, for whoever may write there.
int refusal_of_target(const std::string& target) {
  struct stat st {};
  if (stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
}

}  // namespace

int last_write_failure() { return write_failure; }

int create_beside(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return failed(errno, -1);
  }
  return failed(EEXIST, -1);
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return failed(put < 0 ? errno : ENOSPC, false);
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool commit_beside(int fd, const std::string& temp, const std::string& target) {
  int error = fsync(fd) == 0 ? 0 : errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0) error = refusal_of_target(target);
  if (error == 0 && std::rename(temp.c_str(), target.c_str()) == 0) return true;
  if (error == 0) error = errno;
  unlink(temp.c_str());
  return failed(error, false);
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
