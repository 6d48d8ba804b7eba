// The MIDI conversion settings as command-line options.
#pragma once

#include <string>

#include "arguments.h"
#include "kvt/mid2kvt.h"

namespace kvt::cli {

// The settings a fresh installation starts with.
mid2kvt_settings default_midi_settings();
// Reads `option` into `settings`; false when it is none of them.
bool read_midi_option(Arguments& args, const std::string& option, mid2kvt_settings& settings);

extern const char* const kMidiOptionsHelp;

}  // namespace kvt::cli
