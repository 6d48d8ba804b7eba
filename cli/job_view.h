// Where one job of a command shows how far it got: the terminal's status
// line for a single job, a line of its own among several running at once.
#pragma once

#include <string>

namespace kvt::cli {

class JobView {
 public:
  virtual ~JobView() = default;
  // How far the job got, in place of what it showed before.
  virtual void status(const std::string& text) = 0;
  // Ends the status, so that a line written next stands on its own.
  virtual void close_status() = 0;
};

}  // namespace kvt::cli
