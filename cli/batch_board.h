// What a batch shows while its jobs run. On a terminal (stderr) each
// running job has a line of its own at the bottom, redrawn in place, and
// every other line, the jobs' messages included, is written above them;
// elsewhere lines are simply written.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "job_view.h"

namespace kvt::cli {

class BatchBoard {
 public:
  explicit BatchBoard(int slots);
  ~BatchBoard();  // takes the job lines away and gives stderr back
  BatchBoard(const BatchBoard&) = delete;
  BatchBoard& operator=(const BatchBoard&) = delete;

  // The view of the job running in `slot`, whose line starts with `name`.
  JobView& start(int slot, const std::string& name);
  void finish(int slot);
  // A line of its own on `stream` (stdout or stderr).
  void print(std::FILE* stream, const std::string& line);
  // Lines, each ending in a newline, kept together on `stream`.
  void print_lines(std::FILE* stream, const std::string& lines);

 private:
  class SlotView;
  void set_status(int slot, const std::string& text);
  void erase();
  void draw();
  void pass_messages();

  std::mutex mutex_;
  int terminal_ = -1;  // the terminal stderr was, while the board is on it
  int messages_ = -1;  // what the jobs write to stderr, to be read back
  std::thread reader_;
  std::vector<std::unique_ptr<SlotView>> slots_;
  std::size_t drawn_ = 0;
  std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace kvt::cli
