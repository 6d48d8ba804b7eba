// Turning what the user names into song data that the player reads: MML
// sources are compiled, MIDI files converted; song data files are taken
// as they are.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "kvt/mid2kvt.h"
#include "scratch_space.h"

namespace kvt::cli {

bool has_extension(const std::string& path, const char* extension);  // blind to case
// `path` with the extension of its last component replaced (or added).
std::string with_extension(const std::string& path, const char* extension);

// The song data file that compiling `source` writes.
std::string compiled_song(const std::string& source);

// Compiles an MML source with `config` (default: the bank's); prints the
// compiler's report to stdout when `verbose`, to stderr on failure.
// Returns the song data file, or nothing when the compilation failed.
std::optional<std::string> compile_mml(const std::string& source, const std::string& config, bool verbose);

// Converts a MIDI file into `song` with `config` (default: the bank's);
// prints the converter's messages to stdout when `verbose`, to stderr on
// failure.
bool convert_midi(const std::string& midi, const std::string& song, const std::string& config,
                  const mid2kvt_settings& settings, bool verbose);

// Converts an RCP file into the MIDI file `midi`; messages as for convert_midi.
bool convert_rcp(const std::string& rcp, const std::string& midi, bool verbose);

struct SongData {
  std::string path;
  std::unique_ptr<ScratchSpace> scratch;  // holds a converted song while it is used
};

// The song data for `path`: compiled from MML beside it, converted from
// MIDI (or RCP through MIDI) into a scratch directory, or `path` itself.
std::optional<SongData> song_for(const std::string& path, const std::string& config, const mid2kvt_settings& midi);

}  // namespace kvt::cli
