#include "waveforms.h"

#include <algorithm>
#include <cmath>

namespace kvt::bank {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kPeriodsPerLoop = 4;
constexpr int kEnsemblePeriods = 64;  // a loop long enough for slow beating
constexpr double kEnsembleSeconds = 0.5;  // and at least this long at high pitches

// 1 at the onset, exactly 0 at `end`, falling with time constant `tau`.
double settling(double t, double tau, double end) {
  const double floor = std::exp(-end / tau);
  return std::max(0.0, (std::exp(-t / tau) - floor) / (1 - floor));
}

}  // namespace

double Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

Tone additive_tone(const ToneSpec& spec, int period, std::uint32_t seed) {
  Noise rng(seed);
  const int periods = spec.ensemble ? std::max(kEnsemblePeriods, static_cast<int>(kEnsembleSeconds * kBankRate / period))
                                    : kPeriodsPerLoop;
  const int loop = periods * period;  // every partial is a whole number of cycles in it
  std::vector<double> table(loop);
  for (int i = 0; i < loop; ++i) table[i] = std::sin(2 * kPi * i / loop);
  const auto attack = static_cast<std::uint32_t>(spec.attack_seconds * kBankRate);
  std::vector<double> out(attack + loop, 0.0);
  const int below_half_rate = static_cast<int>(std::ceil(period / (2 * spec.highest_ratio))) - 1;
  const int harmonics = std::min(spec.max_harmonics, below_half_rate);
  for (int k = 1; k <= harmonics; ++k) {
    const double final_amp = spec.spectrum(k, kBankRate / period);
    if (final_amp == 0) continue;
    const double start_amp = final_amp * std::pow(k, spec.attack_tilt);
    const int copies = spec.ensemble ? 3 : 1;
    // The detuned copies start in phase, as players do, and drift apart:
    // the onset is at the crest of the beating, never in a trough.
    const auto phase = static_cast<long>((rng.next() + 1) * 0.5 * loop);
    for (int c = 0; c < copies; ++c) {
      const int bin = periods * k + (spec.ensemble ? c - 1 : 0);
      const double weight = spec.ensemble ? (c == 1 ? 0.6 : 0.45 + 0.1 * rng.next()) : 1.0;
      for (std::size_t n = 0; n < out.size(); ++n) {
        const double t = n / kBankRate;
        const double amp = n < attack ? final_amp + (start_amp - final_amp) *
                                                        settling(t, spec.settle_seconds, spec.attack_seconds)
                                      : final_amp;
        out[n] += weight * amp * table[(bin * static_cast<long>(n) + phase) % loop];
      }
    }
  }
  double low = 0;
  for (std::uint32_t n = 0; n < attack && spec.noise > 0; ++n) {
    low += 0.3 * (rng.next() - low);  // a soft, low-passed noise
    out[n] += spec.noise * low * settling(n / kBankRate, spec.noise_seconds, spec.attack_seconds);
  }
  return Tone{std::move(out), attack, period};
}

Tone plucked_tone(const PluckSpec& spec, int period, std::uint32_t seed) {
  Noise rng(seed);
  const auto attack = static_cast<std::uint32_t>(spec.attack_seconds * kBankRate) / period * period;
  std::vector<double> y(attack + kPeriodsPerLoop * period);
  double low = 0;
  for (int n = 0; n < period; ++n) {
    low += (0.15 + 0.85 * spec.brightness) * (rng.next() - low);
    y[n] = low;
  }
  // No offset in the burst: the string would hold it for ever.
  double mean = 0;
  for (int n = 0; n < period; ++n) mean += y[n] / period;
  for (int n = 0; n < period; ++n) y[n] -= mean;
  for (std::size_t n = period; n < y.size(); ++n) {
    if (n < attack) {
      // Symmetric loss filter: damps the highs without moving the pitch.
      const double before = y[n - period - (n > static_cast<std::size_t>(period) ? 1 : 0)];
      const double after = y[n - period + 1];
      y[n] = spec.decay * (0.25 * before + 0.5 * y[n - period] + 0.25 * after);
    } else {
      y[n] = y[n - period];  // from here on strictly periodic
    }
  }
  if (spec.drive > 0) {
    for (double& v : y) v = std::tanh(spec.drive * v);
  }
  return Tone{std::move(y), attack, period};
}

std::vector<std::int16_t> to_pcm(const std::vector<double>& samples) {
  double peak = 1e-9;
  for (double v : samples) peak = std::max(peak, std::fabs(v));
  const double scale = 26000.0 / peak;
  std::vector<std::int16_t> out;
  out.reserve(samples.size());
  for (double v : samples) out.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v * scale, -32767.0, 32767.0))));
  return out;
}

}  // namespace kvt::bank
