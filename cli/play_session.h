// Playing one song or WAVE file through the sound card until it ends or a
// stop signal comes, with a status line of the time played and, when the
// settings ask for the visual player, a song's keyboard above it.
#pragma once

#include <string>

#include "kvt/player.h"
#include "terminal_ui.h"

namespace kvt::cli {

enum class PlayOutcome { ended, interrupted, failed };

struct PlayItem {
  std::string path;  // song data, or a WAVE file
  bool wave;
  std::string label;  // what the status line calls it
};

PlayOutcome play_to_end(const PlayItem& item, const playstruct& settings, TerminalUi& ui);

}  // namespace kvt::cli
