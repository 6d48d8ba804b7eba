// Turns a voice file read into memory into the voice image the driver
// plays: 8-bit samples made unsigned, and one copy of the loop-start sample
// after the data so that interpolation at the end needs no bounds test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvt::host {

inline constexpr std::size_t kVoiceSpare = 2;  // bytes after the file for the copied sample

// `block` holds the file's `file_size` bytes plus kVoiceSpare. Returns false
// when it is no voice file, or its loop point lies outside its samples.
bool prepare_voice(std::uint8_t* block, std::size_t file_size);

}  // namespace kvt::host
