// SIGINT, SIGTERM and SIGHUP ask a command to stop. The handlers only note
// the signal; each command looks at it where it can stop, removes what it
// would leave half done, and exits 128 + the signal's number.
#pragma once

#include <string>
#include <vector>

namespace kvt::cli {

// Installed once, before a command runs. A signal that was ignored when the
// program started (a job in the background) stays ignored.
void catch_stop_signals();

// The first stop signal that came, or 0.
int stop_signal();

// What a stopped command exits with: 128 + the stop signal.
int stopped_status();

// What a command that ended with `status` exits with: stopped_status() when
// a stop signal came meanwhile.
int exit_status(int status);

// The run function of a command whose work cannot be cancelled (a
// conversion, a look at a file): it goes to its end, then a stop signal
// that came meanwhile decides the exit status.
template <int (*Run)(std::vector<std::string>)>
int runs_to_end(std::vector<std::string> args) {
  return exit_status(Run(std::move(args)));
}

}  // namespace kvt::cli
