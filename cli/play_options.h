// The output options that the rendering and playing commands share.
#pragma once

#include <string>

#include "arguments.h"
#include "kvt/player.h"

namespace kvt::cli {

// 44100 Hz, stereo, 16 bits, effect 2, fade 0; no voice directories yet
// (see use_bank).
playstruct default_play_settings();

// A clean end (voices fade out as their parts end, the effects' tails are
// kept), one pass through a looping song.
kvt_output_options default_output_options();

// Where the sound goes: the sound card also plays at 16538 Hz, and may
// show the keyboard.
enum class Output { wave_file, sound_card };

// The player's index of a rate it renders at (44100, 33075, 22050, 16538 or 11025 Hz).
int rate_index(int hz);

// The voice directories searched, in order (the second may be empty).
void set_voice_dirs(playstruct& settings, const std::string& first, const std::string& second);

// Takes `option` (already read from `args`) when it is an output option.
bool read_play_option(Arguments& args, const std::string& option, playstruct& settings,
                      Output output = Output::wave_file);
// The same for the options of how a song ends: --loop and --exact.
bool read_ending_option(Arguments& args, const std::string& option, kvt_output_options& options);

// The help text's lines for these options.
extern const char* const kPlayOptionsHelp;

}  // namespace kvt::cli
