// Files that appear whole or not at all: written under a fresh name beside
// the target, synced, and renamed over it only when complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvt {

// Creates a new file beside `target` that nobody else can have opened;
// its name goes to `temp`. Returns the descriptor, or -1.
int create_beside(const std::string& target, std::string& temp);

// Writes everything, retrying after interruptions.
bool write_all(int fd, const std::uint8_t* data, std::size_t size);

// Syncs and closes `fd`, then renames `temp` to `target`; on any failure
// the temporary file is removed and the target left as it was.
bool commit_beside(int fd, const std::string& temp, const std::string& target);

// The whole of `data` as the new content of `target`.
bool write_file_atomically(const std::string& target, const void* data, std::size_t size);

// The system's reason (an errno value) why the last of these writes that
// failed did, 0 while none has. Any thread: a rendering writes on a worker.
int last_write_failure();

}  // namespace kvt
