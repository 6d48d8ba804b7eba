// MIDI channel events turned into part commands: notes spread over the
// monophonic parts of their channel, drum hits on a part per key,
// controllers, program changes and pitch bend.
#pragma once

#include "converter_context.h"

namespace kvt::convert {

// Each reads its own data bytes from the input; `channel` is 1..16.
void note_off_event(Converter& c, int channel);
void note_on_event(Converter& c, int channel);
void control_change_event(Converter& c, int channel);
void program_change_event(Converter& c, int channel);
void pitch_bend_event(Converter& c, int channel);

// Also reached from system-exclusive messages.
void control_change(Converter& c, int channel, int controller, int value);
void program_change(Converter& c, int channel, int program);
// Every part's gain word again (master volume changes).
void refresh_volumes(Converter& c);

}  // namespace kvt::convert
