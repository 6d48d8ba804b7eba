#include "midi_options.h"

namespace kvt::cli {

mid2kvt_settings default_midi_settings() { return {90, 100, 2 * 2, 0, 0}; }

bool read_midi_option(Arguments& args, const std::string& option, mid2kvt_settings& s) {
  if (option == "--reverb") {
    s.reverb = args.number(0, 255);
  } else if (option == "--chorus") {
    s.chorus = args.number(0, 255);
  } else if (option == "--chorus-depth") {
    s.chorus_strength_x2 = 2 * args.number(1, 6);
  } else if (option == "--volume") {
    s.volume = args.number(-15, 15);
  } else if (option == "--drum-volume") {
    s.drum_volume = args.number(-15, 15);
  } else {
    return false;
  }
  return true;
}

const char* const kMidiOptionsHelp =
    "  --reverb N         reverb level 0..255, 0 off (default 90)\n"
    "  --chorus N         chorus level 0..255, 0 off (default 100)\n"
    "  --chorus-depth N   chorus taps 1..6 (default 2)\n"
    "  --volume N         overall volume -15..15 (default 0)\n"
    "  --drum-volume N    drum volume -15..15 (default 0)\n";

}  // namespace kvt::cli
