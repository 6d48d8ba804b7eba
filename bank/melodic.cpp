#include "melodic.h"

#include <cmath>

namespace kvt::bank {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kC3 = 130.8127826503;
constexpr double kC5 = 523.2511306012;

// Common spectra.
double saw(int k) { return 1.0 / k; }
double square(int k) { return k % 2 ? 1.0 / k : 0.0; }
// Peaks of the spectrum of a sung "ah", for harmonic k of a tone at f.
double formants(int k, double f) {
  const double x = k * f;
  auto peak = [x](double centre, double width) { return std::exp(-std::pow((x - centre) / width, 2)); };
  return (0.15 + peak(730, 160) + 0.7 * peak(1100, 200) + 0.25 * peak(2450, 300)) / std::sqrt(k);
}

// A resonance of a body or a bore: 1 at `centre` Hz, 1/e `octaves` away.
double resonance(double hz, double centre, double octaves) {
  return std::exp(-std::pow(std::log2(hz / centre) / octaves, 2));
}

// Flat below `corner` Hz, falling 12 dB an octave above it.
double rolloff(double hz, double corner) { return 1 / (1 + std::pow(hz / corner, 2)); }

// Bowed strings: a sawtooth with a weak fundamental and the bright bridge
// formant near 2.8 kHz.
double bowed(int k, double f) {
  const double hz = k * f;
  return (0.3 + 2.5 * resonance(hz, 2800, 0.6)) * rolloff(hz, 5000) * hz / (hz + 300) / k;
}

// Brass: the harmonics grow towards the bell's peak near 1.1 kHz and fall
// steeply beyond it.
double brassy(int k, double f) {
  const double hz = k * f;
  return 0.1 / k + resonance(hz, 1100, 0.8) * rolloff(hz, 2500);
}

// A reed: odd harmonics lead, with a narrow nasal formant.
double nasal(int k, double f) {
  const double hz = k * f;
  return (k % 2 ? 1.0 : 0.25) * std::pow(k, -0.7) * (0.3 + 2 * resonance(hz, 1600, 0.25)) * rolloff(hz, 3000);
}

// A sawtooth through a soft clipper, then a guitar speaker's roll-off: the
// clipping is done on a finely sampled period and read back as harmonics,
// so that nothing above half the rate is made.
double overdriven(int k, double f) {
  constexpr int kPoints = 1024;
  double re = 0, im = 0;
  for (int n = 0; n < kPoints; ++n) {
    const double y = std::tanh(4.0 * (2.0 * n / kPoints - 1));
    re += y * std::cos(2 * kPi * k * n / kPoints);
    im += y * std::sin(2 * kPi * k * n / kPoints);
  }
  return std::hypot(re, im) / kPoints * rolloff(k * f, 8000);
}

ToneSpec tone(std::function<double(int, double)> spectrum, double tilt, double attack, double settle,
              double noise = 0, bool ensemble = false) {
  ToneSpec t;
  t.spectrum = std::move(spectrum);
  t.attack_tilt = tilt;
  t.attack_seconds = attack;
  t.settle_seconds = settle;
  t.noise = noise;
  t.ensemble = ensemble;
  return t;
}

// A spectrum that is the same at every pitch.
ToneSpec tone(std::function<double(int)> spectrum, double tilt, double attack, double settle, double noise = 0,
              bool ensemble = false) {
  return tone([spectrum](int k, double) { return spectrum(k); }, tilt, attack, settle, noise, ensemble);
}

Instrument additive(const char* id, const char* text, ToneSpec t, EnvelopeShape env, bool top_voice = false) {
  return Instrument{id, text, false, std::move(t), {}, env, top_voice};
}

Instrument plucked(const char* id, const char* text, PluckSpec p, EnvelopeShape env) {
  return Instrument{id, text, true, {}, p, env};
}

// Envelope shapes: AL AR DR SL DRB SLB SR RR, and the decay shift.
// Attack rates above 95 act as 95, and stay quick in the softer set.
constexpr EnvelopeShape kHeld{{127, 127, 0, 0, 0, 0, 0, 84}, 0};
constexpr EnvelopeShape kStruck{{127, 0, 62, 8, 34, 60, 24, 80}, 2};
constexpr EnvelopeShape kPlucked{{127, 0, 64, 10, 40, 80, 30, 78}, 1};
constexpr EnvelopeShape kRinging{{127, 0, 66, 14, 36, 100, 28, 64}, 2};
constexpr EnvelopeShape kBowed{{92, 76, 0, 0, 0, 0, 0, 70}, 0};
constexpr EnvelopeShape kBlown{{104, 86, 70, 4, 0, 0, 0, 80}, 0};
// Pads and choirs swell, but are at full level within a tenth of a second.
constexpr EnvelopeShape kSwelling{{120, 107, 0, 0, 0, 0, 0, 62}, 0};
// An overdriven string sustains while the key is held.
constexpr EnvelopeShape kDriven{{127, 0, 60, 4, 0, 0, 0, 80}, 0};
constexpr EnvelopeShape kBass{{127, 0, 60, 6, 40, 70, 30, 82}, 1};

std::vector<Instrument> make_instruments() {
  PluckSpec nylon{0.35, 0.997, 0.7, 0};
  PluckSpec steel{0.75, 0.998, 0.7, 0};
  PluckSpec electric{0.55, 0.999, 0.6, 0};
  PluckSpec bass{0.3, 0.996, 0.6, 0};
  PluckSpec sitar{0.95, 0.999, 0.8, 1.5};
  return {
      additive("piano", "acoustic piano", tone([](int k) { return std::pow(k, -1.6); }, 0.9, 0.6, 0.12, 0.25), kStruck,
               true),
      additive("epiano", "electric piano: a soft tine with a bell-like onset",
               tone([](int k) { return k == 1 ? 1.0 : k == 2 ? 0.12 : 0.0; }, 2.2, 0.5, 0.05), kStruck),
      additive("harpsi", "harpsichord", tone([](int k) { return std::pow(k, -0.8) * (k % 2 ? 1.0 : 0.6); }, 0.3, 0.4, 0.08, 0.1),
               kPlucked),
      additive("mallet", "marimba and vibraphone bars",
               tone([](int k) { return k == 1 ? 1.0 : k == 4 ? 0.08 : 0.0; }, 1.8, 0.4, 0.04, 0.05), kRinging),
      additive("bell", "celesta, glockenspiel and tubular bells",
               tone([](int k) { return k == 1 ? 1.0 : k == 3 ? 0.35 : k == 5 ? 0.25 : k == 8 ? 0.15 : 0.0; }, 0.8, 0.6, 0.1),
               kRinging),
      additive("organ", "drawbar organ", tone([](int k) {
                 return k == 1 ? 1.0 : k == 2 ? 0.8 : k == 3 ? 0.6 : k == 4 ? 0.5 : k == 6 ? 0.3 : k == 8 ? 0.25 : 0.0;
               }, 0, 0.05, 0.01, 0.05), kHeld),
      additive("reedor", "reed organ and accordion", tone([](int k) { return std::pow(k, -0.9) * (k % 2 ? 1.0 : 0.5); }, 0, 0.1, 0.02, 0, true),
               kHeld),
      plucked("nylon", "nylon-string guitar", nylon, kPlucked),
      plucked("steel", "steel-string guitar", steel, kPlucked),
      plucked("eguit", "clean electric guitar", electric, kPlucked),
      additive("drive", "overdriven guitar", tone(overdriven, 0.5, 0.3, 0.05, 0.1), kDriven),
      plucked("pbass", "plucked bass", bass, kBass),
      additive("sbass", "synth bass", tone([](int k) { return std::pow(k, -1.3); }, 1.0, 0.3, 0.06), kBass),
      additive("string", "string ensemble", tone(bowed, 0, 0.3, 0.1, 0.04, true), kBowed),
      additive("violin", "solo bowed string",
               tone([](int k, double f) { return (1 + 0.8 * std::exp(-std::pow(k * f - 2800, 2) / 1e6)) / k; },
                    0, 0.3, 0.1, 0.05),
               kBowed),
      additive("brass", "brass", tone(brassy, -0.8, 0.25, 0.06, 0.03), kBlown),
      additive("reed", "saxophone and double reeds", tone(nasal, -0.4, 0.2, 0.05, 0.08), kBlown),
      additive("clari", "clarinet", tone(square, -0.3, 0.2, 0.05, 0.05), kBlown),
      additive("flute", "flute and pipes", tone([](int k) { return k == 1 ? 1.0 : k == 2 ? 0.25 : k == 3 ? 0.08 : 0.0; }, 0, 0.3, 0.08, 0.35),
               kBlown),
      additive("choir", "choir \"ah\"", tone([](int k, double f) { return formants(k, f); }, 0, 0.3, 0.1, 0.02, true), kSwelling),
      additive("square", "square lead", tone(square, 0, 0.05, 0.01), kHeld),
      additive("saw", "sawtooth lead", tone(saw, 0, 0.05, 0.01), kHeld),
      additive("pad", "warm pad", tone([](int k, double f) { return rolloff(k * f, 900) / k; }, 0, 0.3, 0.1, 0, true), kSwelling),
      plucked("sitar", "sitar and plucked folk strings", sitar, kRinging),
  };
}

VoiceFile voice_from(const Instrument& in, const ToneSpec& spec, const std::string& name, double nominal,
                     std::uint32_t seed) {
  const int period = static_cast<int>(std::lround(kBankRate / nominal));
  const Tone t = in.plucked ? plucked_tone(in.pluck, period, seed) : additive_tone(spec, period, seed);
  VoiceFile v;
  v.name = name;
  v.samples = to_pcm(t.samples);
  v.loop_start = t.loop_start;
  v.rate_class = 2;
  v.tuning = static_cast<std::uint16_t>(std::lround(32768.0 * nominal * period / kBankRate));
  v.envelope = in.envelope;
  return v;
}

}  // namespace

const std::vector<Instrument>& instruments() {
  static const std::vector<Instrument> list = make_instruments();
  return list;
}

std::vector<VoiceFile> instrument_voices(const Instrument& in, std::uint32_t seed) {
  const std::string id = in.id;
  std::vector<VoiceFile> voices{voice_from(in, in.tone, id + "_l", kC3, seed),
                                voice_from(in, in.tone, id + "_h", kC5, seed + 1)};
  if (in.top_voice) {
    ToneSpec top = in.tone;
    top.highest_ratio = kTopVoiceRatio;
    voices.push_back(voice_from(in, top, id + "_t", kC5, seed + 1));
  }
  return voices;
}

}  // namespace kvt::bank
