// A private directory (mode 0700) for intermediate files such as a converted
// song, named after the process that owns it, under $XDG_RUNTIME_DIR when
// that is set, else in the temporary directory.
#pragma once

#include <string>

namespace kvt::frontend {

class ScratchSpace {
 public:
  // Also removes the scratch directories that processes now gone left behind.
  ScratchSpace();
  ~ScratchSpace();  // removes the directory with its contents
  ScratchSpace(const ScratchSpace&) = delete;
  ScratchSpace& operator=(const ScratchSpace&) = delete;
  // Empty when no directory could be made.
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

}  // namespace kvt::frontend
