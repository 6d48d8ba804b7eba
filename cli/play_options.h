// The output options that the rendering and playing commands share.
#pragma once

#include <string>

#include "arguments.h"
#include "kvt/player.h"

namespace kvt::cli {

// 44100 Hz, stereo, 16 bits, effect 2, fade 0, loop 1, the default bank.
playstruct default_play_settings();

// Where the sound goes: the sound card also plays at 16538 Hz, and may
// show the keyboard.
enum class Output { wave_file, sound_card };

// Takes `option` (already read from `args`) when it is an output option.
bool read_play_option(Arguments& args, const std::string& option, playstruct& settings,
                      Output output = Output::wave_file);

// The help text's lines for these options.
extern const char* const kPlayOptionsHelp;

}  // namespace kvt::cli
