#include "pending_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "atomic_file.h"

namespace kvt::cli {

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  const int fd = create_beside(target_, path_);
  if (fd < 0) {
    path_.clear();
  } else {
    close(fd);
  }
}

PendingFile::~PendingFile() {
  if (!path_.empty()) unlink(path_.c_str());
}

bool PendingFile::written() const {
  struct stat st {};
  return !path_.empty() && stat(path_.c_str(), &st) == 0 && st.st_size > 0;
}

bool PendingFile::keep() {
  if (path_.empty() || std::rename(path_.c_str(), target_.c_str()) != 0) return false;
  path_.clear();
  return true;
}

}  // namespace kvt::cli
