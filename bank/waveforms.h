// The sound sources of the bank: additive tones whose looped tail is
// exactly periodic, plucked strings, and noise for drums.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kvt::bank {

inline constexpr double kBankRate = 22050.0;

// A fixed-seed generator, so the bank is the same on every build.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1) {}
  double next();  // -1 .. 1
 private:
  std::uint32_t state_;
};

struct ToneSpec {
  // Loop amplitude of harmonic k (1-based) of a tone whose fundamental is f Hz.
  std::function<double(int k, double f)> spectrum;
  double attack_tilt = 0;      // harmonic k starts k^tilt times as strong, settling by the loop
  double attack_seconds = 0.3; // length before the loop
  double settle_seconds = 0.1; // time constant of that settling
  double noise = 0;            // breath or hammer noise at the onset, fading out by the loop
  double noise_seconds = 0.05;
  bool ensemble = false;       // three slightly detuned copies of every harmonic
  int max_harmonics = 48;
  // How far above the note it is made at the voice is played: partials stay
  // below half the rate up to there, so that nothing folds back.
  double highest_ratio = 1;
};

struct Tone {
  std::vector<double> samples;
  std::uint32_t loop_start;
  int period;  // samples per period of the fundamental
};

// A tone whose fundamental is kBankRate / period.
Tone additive_tone(const ToneSpec& spec, int period, std::uint32_t seed);

struct PluckSpec {
  double brightness = 0.6;  // 0 dull .. 1 bright onset
  double decay = 0.996;     // loss per period round trip
  double attack_seconds = 0.6;
  double drive = 0;         // soft clipping, for overdriven strings
};

// A plucked string: a delay line of `period` samples with a loss filter that
// keeps the period exact, then held as an exact loop.
Tone plucked_tone(const PluckSpec& spec, int period, std::uint32_t seed);

// Scales to a peak of about -2 dBFS and rounds.
std::vector<std::int16_t> to_pcm(const std::vector<double>& samples);

}  // namespace kvt::bank
