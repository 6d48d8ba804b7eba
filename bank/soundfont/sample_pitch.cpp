#include "sample_pitch.h"

#include <cmath>

namespace kvt::soundfont {

int auto_rate_class(double rate) {
  int best = 0;
  for (int c = 0; c < kRateClasses; ++c) {
    if (kClassRates[c] >= rate && kClassRates[c] < kClassRates[best]) best = c;
  }
  return best;
}

SamplePitch sample_pitch(double rate, int rate_class, int cents) {
  const double semitones = cents / 100.0 + 12 * std::log2(rate / kClassRates[rate_class]);
  // A hair below a whole semitone counts as it, so the tuning stays at its unit.
  const double whole = std::floor(semitones + 1e-9);
  const double rest = std::max(0.0, semitones - whole);
  return {static_cast<int>(whole), static_cast<std::uint16_t>(std::lround(32768 * std::pow(2.0, rest / 12)))};
}

}  // namespace kvt::soundfont
