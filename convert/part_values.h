// The values notes and controllers turn into: velocity codes, part gain
// words, detune; and writing them only when a part's value changes.
#pragma once

#include <cstdint>

#include "converter_context.h"

namespace kvt::convert {

int velocity_code(const Channel& ch, int velocity);
// Levels: a melodic layer's (split level + 128) x level scale x 2, a drum
// key's (kit level + 128) x 142 or its set level x 284.
std::int64_t volume_word(const Converter& c, const Channel& ch, const Part& p);
int detune_value(const Channel& ch, int offset);
int drum_detune_value(int fine);

void put_velocity(Converter& c, Part& p, int code);
void put_volume_word(Converter& c, Part& p, std::int64_t word);
void put_pan(Converter& c, Part& p, int pan);  // 0..127
void put_modulation(Converter& c, Part& p, int depth);
void put_detune(Converter& c, Part& p, int value);
void put_rates(Converter& c, Part& p, const int rates[3]);
// The track view's key group for format 1, when the part moves to another track.
void put_track_marker(Converter& c, Part& p);

}  // namespace kvt::convert
