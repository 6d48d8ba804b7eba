// Measuring rendered sound: power spectra with a plain FFT, the energy of
// a band, third-octave band levels and a spectral distance between two
// sounds, levels in dB. Shared by the tests and the benchmarks.
#pragma once

#include <cstddef>
#include <vector>

namespace kvt::test {

using Signal = std::vector<double>;    // samples scaled to -1..1
using Spectrum = std::vector<double>;  // power by FFT bin

inline constexpr double kSpectrumRate = 44100;
inline constexpr std::size_t kFftSize = 16384;

// Power of kFftSize samples from `from_seconds`: Hann-windowed for a held
// tone, unwindowed for a whole drum hit.
Spectrum spectrum(const Signal& s, double from_seconds, bool windowed = true);
// The mean of the windowed spectra of the whole signal, window after window.
Spectrum average_spectrum(const Signal& s);

double energy_between(const Spectrum& p, double low_hz, double high_hz);
double db(double power_ratio);
// dB of the energy in low_hz..high_hz relative to all of it.
double share_db(const Spectrum& p, double low_hz, double high_hz);
double centroid_hz(const Spectrum& p);

// Third-octave band levels from 100 Hz to 8 kHz, each relative to their
// sum, floored at -60 dB so that empty bands do not dominate.
std::vector<double> band_levels(const Spectrum& p);
// The RMS difference of two sets of band levels, in dB.
double spectral_distance_db(const std::vector<double>& a, const std::vector<double>& b);

// RMS level in dB full scale from `from` to `to` seconds.
double level_db(const Signal& s, double from, double to);

}  // namespace kvt::test
