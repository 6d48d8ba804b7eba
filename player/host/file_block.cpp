#include "file_block.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace kvt::host {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool read_all(int fd, std::uint8_t* to, std::size_t size) {
  while (size > 0) {
    const ssize_t got = read(fd, to, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    to += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

ReadResult read_file_block(const char* path, std::size_t spare, FileBlock& block) {
  const Descriptor fd(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return ReadResult::not_found;
  const auto file_size = static_cast<std::size_t>(st.st_size);
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[file_size + spare]);
  if (bytes == nullptr) return ReadResult::no_memory;
  if (!read_all(fd.get(), bytes.get(), file_size)) return ReadResult::not_found;
  block.bytes = std::move(bytes);
  block.file_size = file_size;
  block.size = file_size + spare;
  return ReadResult::ok;
}

}  // namespace kvt::host
