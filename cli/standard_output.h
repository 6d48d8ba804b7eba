// Sending a finished file to standard output, as `-o -` asks.
#pragma once

#include <string>

namespace kvt::cli {

// The name that stands for standard output where a file name is asked for.
inline constexpr const char* kStandardOutput = "-";

// Writes the whole of the file at `path` to standard output. 0 when done,
// else the system's reason (an errno value).
int copy_to_stdout(const std::string& path);

}  // namespace kvt::cli
