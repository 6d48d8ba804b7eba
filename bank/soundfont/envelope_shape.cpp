#include "envelope_shape.h"

#include <algorithm>
#include <cmath>

namespace kvt::soundfont {
namespace {

constexpr double kStepsPerSecond = 2756.25;  // a step of y lasts y / 2756.25 s
constexpr double kDbPerLevel = 0.376;        // one level byte, at full volume
constexpr double kEnvelopeRangeDb = 100;     // the fall that a decay or release time takes
constexpr int kSlowestStep = 160;

int step_of_rate(int rate) {
  const int y = 96 - rate;
  return y >= 32 ? 2 * y - 32 : y;
}

double seconds(int timecents) { return std::pow(2.0, std::clamp(timecents, -12000, 8000) / 1200.0); }

}  // namespace

Rate rate_for_step(double step_seconds, int max_shift) {
  double y = step_seconds * kStepsPerSecond;
  int shift = 0;
  while (y > kSlowestStep && shift < max_shift) {
    y /= 2;
    ++shift;
  }
  int best = 0;
  for (int rate = 1; rate <= 95; ++rate) {
    if (std::abs(std::log(step_of_rate(rate) / y)) < std::abs(std::log(step_of_rate(best) / y))) best = rate;
  }
  return {best, shift};
}

bank::EnvelopeShape envelope_shape(const VolumeEnvelope& e) {
  bank::EnvelopeSet p{127, 0, 0, 0, 0, 0, 0, 0};
  // The attack is a rise in level, even in decibels: from 30 dB down, or
  // from the bottom when that would need steps slower than the slowest.
  const double attack = seconds(e.attack);
  if (attack >= 0.002) {
    int steps = 80;
    if (attack / steps * kStepsPerSecond > kSlowestStep) steps = 252;
    p[0] = static_cast<std::uint8_t>(127 - steps / 2);
    p[1] = static_cast<std::uint8_t>(rate_for_step(attack / steps, 0).rate);
  }
  const double sustain_db = e.sustain / 10.0;
  const int depth = sustain_db >= 94 ? 127 : static_cast<int>(std::lround(sustain_db / (2 * kDbPerLevel)));
  const double per_level = kDbPerLevel / kEnvelopeRangeDb;
  int shift = 0;
  if (depth > 0) {
    const Rate decay = rate_for_step(seconds(e.decay) * per_level, 12);
    p[2] = static_cast<std::uint8_t>(decay.rate);
    p[3] = static_cast<std::uint8_t>(depth);
    shift = decay.shift;
  }
  // Parameters 4 and 5 stay 0: the sustain holds until the key is released.
  p[7] = static_cast<std::uint8_t>(rate_for_step(seconds(e.release) * per_level, 0).rate);
  return {p, static_cast<std::uint8_t>(shift)};
}

}  // namespace kvt::soundfont
