// Play anything: whatever song the user names becomes song data that the
// player reads. The extension chooses: an MML source is compiled beside
// itself, a MIDI file converted (an RCP file through MIDI) into a private
// scratch directory, anything else taken as song data as it is.
#pragma once

#include <memory>
#include <string>

#include "kvt/mid2kvt.h"
#include "messages.h"
#include "scratch_space.h"

namespace kvt::frontend {

struct SongData : Outcome {
  std::string path;                       // the song data file; empty when not ok
  std::unique_ptr<ScratchSpace> scratch;  // holds a converted song while it is used
};

// The song data for `path`, with the libraries' reports and the warnings
// about songs with nothing to hear. An empty `config` stands for the
// default bank's configuration.
SongData song_for(const std::string& path, const std::string& config, const mid2kvt_settings& midi);

}  // namespace kvt::frontend
