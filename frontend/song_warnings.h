// Warnings about songs that hold nothing to hear, so that a mistake in a
// source does not pass for a silent success. They do not make the work fail.
#pragma once

#include <optional>
#include <string>

#include "messages.h"

namespace kvt::frontend {

// After compiling `source` into `song`: a source whose lines name no part.
std::optional<Message> no_part_warning(const std::string& source, const std::string& song);
// After converting `source` (MIDI, or RCP through MIDI) into `song`.
std::optional<Message> no_note_warning(const std::string& source, const std::string& song);
// For a song data file taken as it is.
std::optional<Message> empty_song_warning(const std::string& song);
// After rendering `wave`: a file of no length.
std::optional<Message> no_sound_warning(const std::string& wave);

}  // namespace kvt::frontend
