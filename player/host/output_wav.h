// Rendering a song data file into a WAVE file under the front end's
// progress dialog.
#pragma once

#include "kvt/player.h"
#include "player_context.h"

namespace kvt::host {

int output_wav(Player& player, const char* song_path, const char* wav_path, const playstruct& settings,
               char* title_out);

}  // namespace kvt::host
