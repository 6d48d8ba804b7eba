// Playing one song or WAVE file through the sound card until it ends or a
// stop signal comes, with a status line of the time played and, when the
// settings ask for the visual player, a song's keyboard above it. Keys on
// a terminal pause it, seek in it, end it early, or change the output
// volume.
#pragma once

#include <string>

#include "kvt/player.h"
#include "play_keys.h"
#include "terminal_ui.h"

namespace kvt::cli {

enum class PlayOutcome { ended, interrupted, failed, quit, next, previous };

struct PlayItem {
  std::string path;  // song data, or a WAVE file
  bool wave;
  std::string label;  // what the status line calls it
};

// What the keys have set, kept from song to song.
struct PlaySteering {
  PlayKeys keys;
  int gain_db = 0;
  kvt_output_options output{};  // of every song
  unsigned long start_ms = 0;   // where the next song starts, once
};

PlayOutcome play_to_end(const PlayItem& item, const playstruct& settings, TerminalUi& ui, PlaySteering& steering);

}  // namespace kvt::cli
