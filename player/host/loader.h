// Loading a song data file and every voice its voice list names.
#pragma once

#include "kvt/player.h"
#include "player_context.h"

namespace kvt::host {

// Loads into `player` and writes the title line to player.tit. Returns 0,
// or 1 after one message, with nothing left loaded.
int fm_and_kvw(Player& player, const char* song_path, const playstruct& settings);
// Releases the song and its voices; the driver's inputs are emptied too.
void free_kvw(Player& player);

// Points the driver's inputs at the loaded song and voices.
void attach_driver(Player& player);

}  // namespace kvt::host
