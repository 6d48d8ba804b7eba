#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace kvt {
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
    if (got <= 0) return false;  // an error, or the file shrank meanwhile
    to += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

enum class Beyond { refuse, cut };

FileRead read_regular(const std::string& path, std::size_t limit, Beyond beyond,
                      const std::function<std::uint8_t*(std::size_t)>& allocate) {
  const Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0) return FileRead::unreadable;
  if (S_ISDIR(st.st_mode)) return FileRead::directory;
  if (!S_ISREG(st.st_mode)) return FileRead::not_regular;
  if (st.st_size < 0) return FileRead::too_large;
  std::uintmax_t length = static_cast<std::uintmax_t>(st.st_size);
  if (length > limit) {
    if (beyond == Beyond::refuse) return FileRead::too_large;
    length = limit;
  }
  const auto size = static_cast<std::size_t>(length);
  std::uint8_t* to = allocate(size);
  if (to == nullptr && size > 0) return FileRead::too_large;  // an empty buffer may have no address
  return read_all(fd.get(), to, size) ? FileRead::ok : FileRead::unreadable;
}

FileRead read_into(const std::string& path, std::size_t limit, Beyond beyond, std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes;
  const FileRead result = read_regular(path, limit, beyond, [&](std::size_t size) -> std::uint8_t* {
    try {
      bytes.resize(size);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    return bytes.data();
  });
  if (result == FileRead::ok) data = std::move(bytes);
  return result;
}

}  // namespace

FileRead read_regular_file(const std::string& path, std::size_t limit,
                           const std::function<std::uint8_t*(std::size_t)>& allocate) {
  return read_regular(path, limit, Beyond::refuse, allocate);
}

FileRead read_regular_file(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& data) {
  return read_into(path, limit, Beyond::refuse, data);
}

FileRead read_regular_file_start(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& data) {
  return read_into(path, limit, Beyond::cut, data);
}

}  // namespace kvt
