#include "melodic.h"

#include <cmath>

namespace kvt::bank {
namespace {

constexpr double kC3 = 130.8127826503;
constexpr double kC5 = 523.2511306012;

// Common spectra.
double saw(int k) { return 1.0 / k; }
double square(int k) { return k % 2 ? 1.0 / k : 0.0; }
double soft(int k) { return 1.0 / (k * k); }
// Peaks of the spectrum of a sung "ah", for harmonic k of a tone at f.
double formants(int k, double f) {
  const double x = k * f;
  auto peak = [x](double centre, double width) { return std::exp(-std::pow((x - centre) / width, 2)); };
  return (0.15 + peak(730, 160) + 0.7 * peak(1100, 200) + 0.25 * peak(2450, 300)) / std::sqrt(k);
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

Instrument additive(const char* id, const char* text, ToneSpec t, EnvelopeShape env) {
  return Instrument{id, text, false, std::move(t), {}, env};
}

Instrument plucked(const char* id, const char* text, PluckSpec p, EnvelopeShape env) {
  return Instrument{id, text, true, {}, p, env};
}

// Envelope shapes: AL AR DR SL DRB SLB SR RR, and the decay shift.
constexpr EnvelopeShape kHeld{{127, 0, 0, 0, 0, 0, 0, 84}, 0};
constexpr EnvelopeShape kStruck{{127, 0, 62, 8, 34, 60, 24, 80}, 2};
constexpr EnvelopeShape kPlucked{{127, 0, 64, 10, 40, 80, 30, 78}, 1};
constexpr EnvelopeShape kRinging{{127, 0, 66, 14, 36, 100, 28, 64}, 2};
constexpr EnvelopeShape kBowed{{92, 76, 0, 0, 0, 0, 0, 70}, 0};
constexpr EnvelopeShape kBlown{{104, 86, 70, 4, 0, 0, 0, 80}, 0};
constexpr EnvelopeShape kSwelling{{80, 70, 0, 0, 0, 0, 0, 62}, 0};
constexpr EnvelopeShape kBass{{127, 0, 60, 6, 40, 70, 30, 82}, 1};

std::vector<Instrument> make_instruments() {
  PluckSpec nylon{0.35, 0.997, 0.7, 0};
  PluckSpec steel{0.75, 0.998, 0.7, 0};
  PluckSpec electric{0.55, 0.999, 0.6, 0};
  PluckSpec driven{0.6, 0.999, 0.6, 4.0};
  PluckSpec bass{0.3, 0.996, 0.6, 0};
  PluckSpec sitar{0.95, 0.999, 0.8, 1.5};
  return {
      additive("piano", "acoustic piano", tone([](int k) { return std::pow(k, -1.6); }, 0.9, 0.6, 0.12, 0.25), kStruck),
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
      plucked("drive", "overdriven guitar", driven, EnvelopeShape{{127, 0, 60, 6, 30, 40, 20, 80}, 1}),
      plucked("pbass", "plucked bass", bass, kBass),
      additive("sbass", "synth bass", tone([](int k) { return std::pow(k, -1.3); }, 1.0, 0.3, 0.06), kBass),
      additive("string", "string ensemble", tone([](int k) { return std::pow(k, -1.1); }, 0, 0.3, 0.1, 0.04, true), kBowed),
      additive("violin", "solo bowed string",
               tone([](int k, double f) { return (1 + 0.8 * std::exp(-std::pow(k * f - 2800, 2) / 1e6)) / k; },
                    0, 0.3, 0.1, 0.05),
               kBowed),
      additive("brass", "brass", tone([](int k) { return std::pow(k, -0.9); }, -0.8, 0.25, 0.06, 0.03), kBlown),
      additive("reed", "saxophone and double reeds", tone([](int k) { return std::pow(k, -0.8) * (k % 2 ? 1.0 : 0.45); }, -0.4, 0.2, 0.05, 0.08),
               kBlown),
      additive("clari", "clarinet", tone(square, -0.3, 0.2, 0.05, 0.05), kBlown),
      additive("flute", "flute and pipes", tone([](int k) { return k == 1 ? 1.0 : k == 2 ? 0.25 : k == 3 ? 0.08 : 0.0; }, 0, 0.3, 0.08, 0.35),
               kBlown),
      additive("choir", "choir \"ah\"", tone([](int k, double f) { return formants(k, f); }, 0, 0.3, 0.1, 0.02, true), kSwelling),
      additive("square", "square lead", tone(square, 0, 0.05, 0.01), kHeld),
      additive("saw", "sawtooth lead", tone(saw, 0, 0.05, 0.01), kHeld),
      additive("pad", "warm pad", tone([](int k) { return soft(k) + 0.02 / k; }, 0, 0.3, 0.1, 0, true), kSwelling),
      plucked("sitar", "sitar and plucked folk strings", sitar, kRinging),
  };
}

VoiceFile voice_from(const Instrument& in, const std::string& name, double nominal, std::uint32_t seed) {
  const int period = static_cast<int>(std::lround(kBankRate / nominal));
  const Tone t = in.plucked ? plucked_tone(in.pluck, period, seed) : additive_tone(in.tone, period, seed);
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
  return {voice_from(in, id + "_l", kC3, seed), voice_from(in, id + "_h", kC5, seed + 1)};
}

}  // namespace kvt::bank
