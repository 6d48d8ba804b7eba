// The records the libraries take, filled from the settings right before
// each call: `playstruct` for playing and for WAVE output, the MIDI
// conversion settings for the converter.
#pragma once

#include "kvt/mid2kvt.h"
#include "kvt/player.h"
#include "settings_record.h"

namespace kvt::app {

// Playing: the play fields, with the visual player fed; `bit` unchanged.
void set_playstruct(const Settings& en, playstruct& play);
// WAVE output: the WAV fields; `keyboard_flag` unchanged.
void set_wavstruct(const Settings& en, playstruct& play);
// MIDI conversion: the chorus strength counts both chorus units.
void set_convstruct(const Settings& en, mid2kvt_settings& conv);

}  // namespace kvt::app
