// The libraries' three ways to song data, each returning what it came to:
// the library's own report (in UTF-8) and the front end's errors and
// warnings. An empty configuration stands for the default bank's.
#pragma once

#include <string>

#include "kvt/mid2kvt.h"
#include "messages.h"

namespace kvt::frontend {

// Compiles an MML source into compiled_song(source), beside it.
Outcome compile_mml(const std::string& source, const std::string& config);

// Converts a MIDI file into the song data file `song`.
Outcome convert_midi(const std::string& midi, const std::string& song, const std::string& config,
                     const mid2kvt_settings& settings);

// Converts an RCP file into the MIDI file `midi`.
Outcome convert_rcp(const std::string& rcp, const std::string& midi);

}  // namespace kvt::frontend
