// Warnings about songs that hold nothing to hear, on stderr, so that a
// mistake in a source does not pass for a silent success. They change no
// exit status.
#pragma once

#include <string>

namespace kvt::cli {

// After compiling `source` into `song`: a source whose lines name no part.
void warn_if_no_part(const std::string& source, const std::string& song);
// After converting `source` (MIDI, or RCP through MIDI) into `song`.
void warn_if_no_note(const std::string& source, const std::string& song);
// For a song data file given as it is.
void warn_if_empty_song(const std::string& song);
// After rendering `wave`: a file of no length.
void warn_if_no_sound(const std::string& wave);

}  // namespace kvt::cli
