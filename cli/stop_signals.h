// SIGINT, SIGTERM and SIGHUP ask a command to stop. The handlers only note
// the signal; each command looks at it where it can stop, removes what it
// would leave half done, and exits 128 + the signal's number.
#pragma once

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

}  // namespace kvt::cli
