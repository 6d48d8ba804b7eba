// Writing into parts: new parts with their opening commands, bytes within
// each part's capacity, MIDI time turned into song ticks, lengths with the
// default-length shorthand, and commands slipped in while a note sounds.
#pragma once

#include <cstdint>
#include <functional>

#include "converter_context.h"

namespace kvt::convert {

// Adds a part to channel slot `slot` (the 64th stops the conversion).
Part& add_part(Converter& c, int slot);
// The slot's first part, made when the channel has none yet.
void ensure_part(Converter& c, int slot);

void put(Converter& c, Part& p, int byte);
void put16(Converter& c, Part& p, int word);
// Writes a note or rest byte whose length comes with the next time.
void begin_pending(Converter& c, Part& p, int byte);

// Song ticks from the part's last event to now, rounding carried over.
std::int64_t song_ticks(Converter& c, Part& p);
// Ends the pending note or rest with `s` song ticks.
void write_length(Converter& c, Part& p, std::int64_t s);
// Both: the time up to now. Returns the song ticks written.
std::int64_t write_time(Converter& c, Part& p);

// A command that must take effect now: the part gets the time; a sounding
// note is tied over the command, a silent part gets a new rest after it.
void between_notes(Converter& c, Part& p, const std::function<void()>& command);

// A sounding note ends now; the part rests from here.
void end_note(Converter& c, Part& p);

}  // namespace kvt::convert
