// Rendering a song data file into a WAVE file under the front end's
// progress dialog, which polls the cancel button until the rendering ends.
#pragma once

#include "host_ui.h"
#include "kvt/player.h"
#include "output_options.h"

namespace kvt::host {

int output_wav(const HostUi& ui, const char* song_path, const char* wav_path, const playstruct& settings,
               const OutputOptions& options, char* title_out);

}  // namespace kvt::host
