// Sizes of the events of a part stream, for readers that walk part data
// without playing it (song summaries, the track view).
#pragma once

#include <cstdint>

namespace kvt::song {

// Bytes of the event (note, rest or command with its operands) at `event`,
// of which `available` bytes are readable; 0 when the event is cut off.
std::uint32_t event_size(const std::uint8_t* event, std::uint32_t available) noexcept;

}  // namespace kvt::song
