#include "standard_output.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "atomic_file.h"

namespace kvt::cli {

namespace {

// A reader that goes away early would end the command by SIGPIPE, leaving
// its scratch directory behind; ignored, the write fails with EPIPE instead
// and the command ends as after any other failed write.
class PipeSignalIgnored {
 public:
  PipeSignalIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &saved_);
  }
  ~PipeSignalIgnored() { sigaction(SIGPIPE, &saved_, nullptr); }
  PipeSignalIgnored(const PipeSignalIgnored&) = delete;
  PipeSignalIgnored& operator=(const PipeSignalIgnored&) = delete;

 private:
  struct sigaction saved_ {};
};

}  // namespace

int copy_to_stdout(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const PipeSignalIgnored ignored;
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
