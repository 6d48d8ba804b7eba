#include "song_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kvt::app {

namespace {

class Descriptor {
 public:
  explicit Descriptor(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// A pipe would block or hand over someone else's stream, a directory has
// no bytes: only a regular file is a document.
bool regular(int fd) {
  struct stat st {};
  return fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

// A long document is cut, not refused as the whole-file reader would: only
// its first bytes are read.
int document(const std::string& path, std::string& text) {
  text.clear();
  const Descriptor fd(path);
  if (!regular(fd.get())) return 1;
  std::string bytes(kDocumentLimit, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the end, or a read error: keep what was read
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  text = std::move(bytes);
  return 0;
}

}  // namespace kvt::app
