// Why a file cannot be read or written, in words, and the messages that name
// the file with its reason.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "messages.h"

namespace kvt::frontend {

// The system's reason (an errno value) in words: "is a folder", "permission denied".
std::string reason_for_error(int error);
// Why a file of `mode` that is no regular file cannot be used: "is a folder".
std::string reason_for_mode(mode_t mode);

// The error "cannot ACTION PATH: WHY".
Message cannot(const std::string& action, const std::string& path, const std::string& why);

// Tries now whether `out` can be written the way every output is (a fresh
// file beside it, renamed over it), so that long work does not run only to
// fail at its end. The error when it cannot.
std::optional<Message> creation_refusal(const std::string& out);

// After `out` could not be written: the error with the system's reason
// (an errno value), when there is one to tell.
std::optional<Message> write_failure(const std::string& out, int error);

}  // namespace kvt::frontend
