// A song rendered into a WAVE file on a worker thread of the library, so
// that several may run at once; its messages and progress are shown
// through a JobView from the calling thread.
#pragma once

#include <string>

#include "job_view.h"
#include "kvt/player.h"

namespace kvt::cli {

struct SongRendering {
  int outcome;        // KVT_RENDER_...
  bool message_shown; // the library said something went wrong
  std::string title;  // the song's title line
};

// Renders until the song ends, or a stop signal cancels it.
SongRendering render_song(const std::string& song, const std::string& wav, const playstruct& settings,
                          const kvt_output_options& options, JobView& view);

}  // namespace kvt::cli
