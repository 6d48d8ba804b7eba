// An output written under a fresh name beside its target and moved over the
// target only when the command keeps it: until then an earlier file stays
// as it was, and an output that is not kept leaves nothing behind.
#pragma once

#include <string>

namespace kvt::cli {

class PendingFile {
 public:
  explicit PendingFile(std::string target);  // reserves the fresh name
  ~PendingFile();                            // removes the file unless it was kept
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Where to write; empty when no file can be made beside the target.
  const std::string& path() const { return path_; }
  // Whether anything was written there: the name is reserved by an empty file.
  bool written() const;
  // Moves the file over the target; false when that fails.
  bool keep();

 private:
  std::string target_;
  std::string path_;
};

}  // namespace kvt::cli
