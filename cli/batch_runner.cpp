#include "batch_runner.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "batch_board.h"
#include "stop_signals.h"

namespace kvt::cli {
namespace {

class Batch {
 public:
  Batch(const std::vector<std::string>& inputs, int jobs, const BatchWork& work)
      : inputs_(inputs), work_(work), board_(jobs) {}

  // Takes the next input until none is left or a stop signal came.
  void work_in(int slot) {
    for (std::size_t i; stop_signal() == 0 && (i = next_++) < inputs_.size();) run(slot, i);
  }

  int summary() {
    const std::size_t failed = failed_;
    const std::size_t done = finished_ - failed;
    board_.print(stdout, std::to_string(done) + " done, " + std::to_string(failed) + " failed");
    return failed == 0 ? 0 : 1;
  }

 private:
  void run(int slot, std::size_t index) {
    const std::string& input = inputs_[index];
    const JobOutcome outcome = guarded(input, board_.start(slot, input));
    board_.finish(slot);
    if (stop_signal() != 0) return;  // the job said it was stopped
    const std::string count = "[" + std::to_string(++finished_) + "/" + std::to_string(inputs_.size()) + "] ";
    // The job's messages and its line stay together, whatever the others print.
    std::string out = outcome.messages.out;
    std::string err = outcome.messages.err;
    if (outcome.ok) {
      out += count + "ok: " + outcome.result + "\n";
    } else {
      ++failed_;
      err += "kvt: " + count + "failed: " + input + "\n";
    }
    board_.print_lines(stderr, err);
    board_.print_lines(stdout, out);
  }

  // A job that throws fails alone rather than ending every other one.
  JobOutcome guarded(const std::string& input, JobView& view) {
    try {
      return work_(input, view);
    } catch (const std::exception& e) {
      board_.print(stderr, std::string("kvt: ") + input + ": " + e.what());
      return {false, {}};
    }
  }

  const std::vector<std::string>& inputs_;
  const BatchWork& work_;
  BatchBoard board_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> finished_{0};
  std::atomic<std::size_t> failed_{0};
};

}  // namespace

int run_batch(const std::vector<std::string>& inputs, int jobs, const BatchWork& work) {
  jobs = std::min(jobs, static_cast<int>(inputs.size()));
  Batch batch(inputs, jobs, work);
  {
    std::vector<std::jthread> workers;
    for (int slot = 0; slot < jobs; ++slot) workers.emplace_back([&batch, slot] { batch.work_in(slot); });
  }
  if (stop_signal() != 0) return stopped_status();
  return batch.summary();
}

}  // namespace kvt::cli
