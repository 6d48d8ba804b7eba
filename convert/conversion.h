// One MIDI-to-song conversion from start to finish.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kvt/mid2kvt.h"

namespace kvt::convert {

int convert_midi(const std::string& mid_path, const std::string& cfg_path, const std::string& kvt_path,
                 const mid2kvt_settings& settings, const kvt_message_view* view, char* messages, std::size_t size);

// The same with the MIDI file and the configuration in memory; the song
// goes to `song` (whatever was built when it fails).
int convert_midi_image(const std::vector<std::uint8_t>& midi, const std::vector<std::uint8_t>& config,
                       const mid2kvt_settings& settings, char* messages, std::size_t size,
                       std::vector<std::uint8_t>& song);

// The song path for an empty `kvt_path`: the MIDI path up to its last '.', then ".kvt".
std::string derived_song_path(const std::string& mid_path);

}  // namespace kvt::convert
