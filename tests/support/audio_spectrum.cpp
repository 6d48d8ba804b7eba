#include "audio_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace kvt::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kSpectrumRate;

void fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * kPi / len);
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

double hz_of(std::size_t bin) { return bin * kRate / kFftSize; }

}  // namespace

Spectrum spectrum(const Signal& s, double from_seconds, bool windowed) {
  std::vector<std::complex<double>> a(kFftSize);
  const auto from = static_cast<std::size_t>(from_seconds * kRate);
  for (std::size_t i = 0; i < kFftSize && from + i < s.size(); ++i) {
    a[i] = s[from + i] * (windowed ? 0.5 - 0.5 * std::cos(2 * kPi * i / kFftSize) : 1.0);
  }
  fft(a);
  Spectrum p(kFftSize / 2);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = std::norm(a[i]);
  return p;
}

double energy_between(const Spectrum& p, double low_hz, double high_hz) {
  double sum = 0;
  for (std::size_t i = 1; i < p.size(); ++i) sum += hz_of(i) >= low_hz && hz_of(i) < high_hz ? p[i] : 0;
  return sum;
}

double db(double power_ratio) { return 10 * std::log10(std::max(power_ratio, 1e-30)); }

double share_db(const Spectrum& p, double low_hz, double high_hz) {
  return db(energy_between(p, low_hz, high_hz) / energy_between(p, 0, kRate));
}

double centroid_hz(const Spectrum& p) {
  double weighted = 0;
  for (std::size_t i = 1; i < p.size(); ++i) weighted += hz_of(i) * p[i];
  return weighted / energy_between(p, 0, kRate);
}

std::vector<double> band_levels(const Spectrum& p) {
  std::vector<double> bands;
  for (int i = 0; i <= 19; ++i)
    bands.push_back(energy_between(p, 100 * std::pow(2.0, (i - 0.5) / 3), 100 * std::pow(2.0, (i + 0.5) / 3)));
  double total = 0;
  for (double e : bands) total += e;
  for (double& e : bands) e = std::max(db(e / total), -60.0);
  return bands;
}

double spectral_distance_db(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return std::sqrt(sum / a.size());
}

double level_db(const Signal& s, double from, double to) {
  double sum = 0;
  const auto begin = static_cast<std::size_t>(from * kRate),
             end = std::min(s.size(), static_cast<std::size_t>(to * kRate));
  for (std::size_t i = begin; i < end; ++i) sum += s[i] * s[i];
  return db(sum / std::max<std::size_t>(end - begin, 1));
}

Spectrum average_spectrum(const Signal& s) {
  Spectrum sum(kFftSize / 2);
  std::size_t windows = 0;
  for (std::size_t from = 0; from + kFftSize <= s.size(); from += kFftSize, ++windows) {
    const Spectrum p = spectrum(s, from / kRate);
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += p[i];
  }
  for (double& e : sum) e /= std::max<std::size_t>(windows, 1);
  return sum;
}

}  // namespace kvt::test
