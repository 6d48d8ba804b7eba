// RCP sequencer files (4-byte step-time events) into Standard MIDI Files
// of format 1, one MIDI track per track block.
#pragma once

#include <cstddef>
#include <string>

#include "kvt/mid2kvt.h"

namespace kvt::convert {

int convert_rcp(const std::string& rcp_path, const std::string& mid_path, const kvt_message_view* view,
                char* messages, std::size_t size);

// The MIDI path for an empty `mid_path`: the input up to its last '.', then ".mid".
std::string derived_midi_path(const std::string& rcp_path);

}  // namespace kvt::convert
