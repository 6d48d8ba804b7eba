// Several inputs worked on at once, each by a job of its own on a thread:
// a failing one is reported and skipped, a stop signal ends them all.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "job_view.h"
#include "message_output.h"

namespace kvt::cli {

struct JobOutcome {
  bool ok;
  std::string result;          // what the job made, shown once it is done
  MessageBlock messages = {};  // what it had to say, printed as one block before that
};

using BatchWork = std::function<JobOutcome(const std::string& input, JobView& view)>;

// Runs `work` on every input, `jobs` at a time. Each finished job gets its
// messages and a line (on stdout when it went well, else on stderr), then a
// summary comes on stdout. The exit status: 0 when every job went well, else 1.
int run_batch(const std::vector<std::string>& inputs, int jobs, const BatchWork& work);

}  // namespace kvt::cli
