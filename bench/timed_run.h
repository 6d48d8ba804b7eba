// Running another program for a benchmark and timing it by the wall clock.
#pragma once

#include <string>
#include <vector>

namespace kvt::bench {

// Runs `program` (looked up on PATH when it holds no slash) with `args`,
// its output and errors going to `log`; the seconds it took, or a negative
// number when it could not run or ended other than by an exit status up to
// `worst_status`.
double timed_run(const std::string& program, const std::vector<std::string>& args, const std::string& log,
                 int worst_status = 0);

struct RunUsage {
  double seconds;     // wall clock; negative as timed_run's
  long peak_rss_kib;  // the child's maximum resident set size
};

// timed_run, also giving the child's peak memory from wait4. Linux counts
// into it the memory the child shared with this process before exec, so
// the figure is only the child's while this process stays smaller.
RunUsage measured_run(const std::string& program, const std::vector<std::string>& args, const std::string& log,
                      int worst_status = 0);

// The median of a benchmark's timings (at least one).
double median(std::vector<double> times);

}  // namespace kvt::bench
