// The conversion commands of the main window: MML, MIDI and RCP files into
// song data or MIDI, and song data into a WAVE file. Each asks for its
// source with the open dialog of its type, shows the document viewer and
// the library's log in it, and says when it has finished.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace kvt::app {

struct AppState;
struct Settings;
class UserChoices;
class UserPrompts;

struct ConversionContext {
  Settings& en;
  AppState& state;
  UserChoices& choices;
  UserPrompts& prompts;
  std::string config;  // the active voice configuration
  std::function<void()> show_viewer;
  std::function<void()> repaint_viewer;
  // Runs a WAVE rendering of `song` into `wav` with the WAVE settings, its
  // progress shown until the user closes it; true when a file was written.
  std::function<bool(const std::string& song, const std::string& wav)> render_wave;
};

void convert_mml(ConversionContext& context);          // 120
void convert_midi(ConversionContext& context);         // 121
void convert_to_wave(ConversionContext& context);      // 122
void convert_rcp_to_midi(ConversionContext& context);  // 123
void convert_rcp_to_song(ConversionContext& context);  // 124

}  // namespace kvt::app
