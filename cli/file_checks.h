// What a command checks about the files on its command line before it
// reads or writes any: which file the user means, whether it can be read,
// whether an output would replace an input, and whether the output can be
// created at all. Each check says on stderr what is wrong and with which file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kvt::cli {

// Exit status of a command line whose output would replace one of its inputs.
inline constexpr int kOutputIsInput = 2;

// The file that `path` names, or, when there is none of that name, one beside
// it whose name differs only in letter case (`kvt mml` writes "SONG.KVT").
// Nothing when it cannot be read.
std::optional<std::string> find_input(const std::string& path);

// False when `out` is the same file as one of `inputs`: the same device and
// inode, or the same resolved path where either does not exist yet. An
// empty input stands for none (an option not given).
bool is_distinct_output(const std::string& out, const std::vector<std::string>& inputs);

// False when `out` cannot be written the way every output is: as a fresh
// file beside it, renamed over it. Tried now, so that a long rendering or
// a conversion does not run only to fail at its end.
bool can_create(const std::string& out);

// After `out` could not be written: the system's reason (an errno value),
// when there is one to tell.
void report_write_failure(const std::string& out, int error);

}  // namespace kvt::cli
