// Play anything: the chosen file becomes song data and plays. The last
// three letters choose: an MML source is compiled beside itself, a MIDI
// file converted (an RCP file through MIDI) into the program's private
// scratch folder, song data plays as it is and a WAVE file plays through
// the library's WAVE playback. The compiler's and converters' log and the
// song's document go to the document viewer.
#pragma once

#include <functional>
#include <string>

#include "kvt/player.h"

namespace kvt::app {

struct AppState;
struct Settings;
class UserPrompts;

enum class PipelineBranch { none, mml, song, midi, wave, rcp };

// "mml", "mid", "wav" and "rcp" in one case (all lower or all upper), "kvt"
// in any; anything else is no branch.
PipelineBranch branch_for(const std::string& path);
// The last three letters of `path` in lower case ("" for a shorter path).
std::string last_three_lower(const std::string& path);
// `path` with its last three letters replaced by `letters`.
std::string last_three_replaced(const std::string& path, const char* letters);

struct PipelineContext {
  Settings& en;
  AppState& state;
  UserPrompts& prompts;
  std::string config;       // the active voice configuration
  std::string scratch_dir;  // the temporary MIDI and song data files go here
  kvt_notify_target notify;  // where the end of what plays is told
  std::function<void()> repaint_viewer;
};

// The temporary song data file of a converted song.
std::string converted_song(const PipelineContext& context);

// Plays state.chosen; state.play_flag says what plays afterwards (idle when
// nothing does).
void nandemo(PipelineContext& context);

}  // namespace kvt::app
