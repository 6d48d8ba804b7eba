// How a sample plays at its pitch: the rate class it is stored in, and the
// whole semitones and tuning factor that take a key to the sample's pitch.
#pragma once

#include <cstdint>

namespace kvt::soundfont {

inline constexpr int kRateClasses = 11;
inline constexpr double kClassRates[kRateClasses] = {44100,  33075,    22050, 16537.5, 11025, 8268.75,
                                                     5512.5, 4134.375, 15625, 23810,   31250};

// The class whose rate is nearest at or above `rate`; the fastest above all.
int auto_rate_class(double rate);

struct SamplePitch {
  int semitones;         // whole semitones from the class rate to the sample's pitch
  std::uint16_t tuning;  // the rest, 0x8000 = none
};

// For data at `rate` stored as class `rate_class`, tuned by `cents`.
SamplePitch sample_pitch(double rate, int rate_class, int cents);

}  // namespace kvt::soundfont
