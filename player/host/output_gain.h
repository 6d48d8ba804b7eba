// The output volume after the driver, in steps of 1 dB. Six steps make
// exactly a doubling (each step is a sixth of an octave of amplitude), so
// that whole multiples of 6 dB scale the samples without rounding; the
// result saturates at the 16-bit limits instead of wrapping.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvt::host {

inline constexpr int kMinGainDb = -60;
inline constexpr int kMaxGainDb = 24;

// Clamped into kMinGainDb..kMaxGainDb.
int clamp_gain_db(int db);

// Scales `count` samples in place; 0 dB leaves them as they are.
void apply_gain(std::int16_t* samples, std::size_t count, int db);

}  // namespace kvt::host
