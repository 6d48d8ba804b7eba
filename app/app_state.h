// What the main window, the document viewer and the play pipeline share:
// the viewer's three blocks and what is being played. Bytes as the
// libraries give them (Shift-JIS or UTF-8); windows convert for display.
#pragma once

#include <cstddef>
#include <string>

namespace kvt::app {

inline constexpr std::size_t kTextSize = 8192;  // the log and document buffer

enum class PlayFlag { idle = 0, song = 1, converted_song = 2, wave = 3, rendering = 4 };

struct AppState {
  std::string status;      // `szMsg`: "Using : ..." or "Converting : ..."
  std::string title;       // `tit`
  std::string text;        // the document or the libraries' log, under kTextSize
  std::string chosen;      // `szFileName`: the path last chosen or played
  std::string kept_song;   // `szFileName2`: the song data beside the source
  PlayFlag play_flag = PlayFlag::idle;
  bool exist_doc = false;
  unsigned long serial = 0;  // of the song or WAVE file playing; older notices are stale

  // Something plays (a song, a converted song or a WAVE file).
  bool playing() const {
    return play_flag == PlayFlag::song || play_flag == PlayFlag::converted_song || play_flag == PlayFlag::wave;
  }
};

}  // namespace kvt::app
