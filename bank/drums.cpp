#include "drums.h"

#include <cmath>

#include "waveforms.h"

namespace kvt::bank {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHighRate = 44100.0;

// A drum's recipe: a pitched body that glides down, and a noise part
// through a resonant band-pass, each with its own decay.
struct Recipe {
  const char* name;
  const char* description;
  double seconds;
  bool high_rate;      // cymbals and hats keep their top octave
  double body_start;   // Hz at the onset
  double body_end;     // Hz it falls to
  double glide;        // seconds of the fall
  double body_decay;   // seconds to 1/e
  double body_level;
  double noise_centre; // Hz; 0 for plain white noise
  double noise_q;
  double noise_decay;
  double noise_level;
  int hits;            // claps: several short bursts
};

constexpr Recipe kRecipes[] = {
    {"kick", "kick drum", 0.6, false, 150, 48, 0.05, 0.22, 1.0, 2000, 0.7, 0.01, 0.3, 1},
    {"kick2", "deep kick drum", 0.8, false, 110, 40, 0.08, 0.3, 1.0, 1000, 0.7, 0.008, 0.2, 1},
    {"snare", "snare drum", 0.5, false, 240, 185, 0.02, 0.11, 1.0, 3500, 0.8, 0.1, 0.3, 1},
    {"snare2", "tight snare drum", 0.35, false, 280, 210, 0.015, 0.08, 1.0, 4000, 0.9, 0.07, 0.3, 1},
    {"rim", "rim shot and side stick", 0.15, false, 1700, 1500, 0.01, 0.012, 0.8, 3500, 3.0, 0.02, 0.5, 1},
    {"clap", "hand clap", 0.4, false, 0, 0, 0, 1, 0, 1500, 1.5, 0.12, 1.0, 4},
    {"tom", "tom-tom", 0.7, false, 180, 130, 0.12, 0.25, 1.0, 800, 1.0, 0.03, 0.2, 1},
    {"hhclose", "closed hi-hat", 0.12, true, 0, 0, 0, 1, 0, 9000, 0.8, 0.035, 1.0, 1},
    {"hhopen", "open hi-hat", 0.7, true, 0, 0, 0, 1, 0, 8500, 0.8, 0.3, 1.0, 1},
    {"crash", "crash and china cymbals", 2.5, true, 0, 0, 0, 1, 0, 6500, 0.5, 0.6, 1.0, 1},
    {"ride", "ride cymbal and bell", 2.0, true, 3200, 3200, 0.01, 0.4, 0.3, 8000, 1.2, 0.45, 0.7, 1},
    {"cowbell", "cowbell and agogo", 0.4, false, 800, 800, 0.01, 0.12, 1.0, 540, 8.0, 0.12, 0.6, 1},
    {"tamb", "tambourine, shaker and maracas", 0.3, true, 0, 0, 0, 1, 0, 7000, 1.5, 0.08, 1.0, 1},
    {"conga", "congas, bongos and timbales", 0.5, false, 330, 300, 0.02, 0.16, 1.0, 1200, 2.0, 0.02, 0.3, 1},
    {"wood", "woodblock and claves", 0.15, false, 1300, 1250, 0.005, 0.03, 1.0, 2500, 5.0, 0.01, 0.3, 1},
    {"tri", "triangle", 1.2, true, 4200, 4200, 0.01, 0.5, 1.0, 8000, 6.0, 0.01, 0.1, 1},
    {"timp", "timpani", 1.5, false, 98, 96, 0.05, 0.6, 1.0, 400, 1.0, 0.05, 0.3, 1},
};

// Two-pole resonant band-pass for the noise part.
class BandPass {
 public:
  BandPass(double centre, double q, double rate) {
    const double w = 2 * kPi * centre / rate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    b0_ = alpha / a0;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
  }
  double step(double x) {
    const double y = b0_ * (x - x2_) - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_, a1_, a2_, x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// The last part of every hit fades out along a raised cosine, so that even
// a long ring is far below its peak before the sample stops.
double end_fade(std::size_t n, std::size_t length) {
  const double fade_from = 0.6 * length;
  if (n < fade_from) return 1;
  const double c = std::cos(0.5 * kPi * (n - fade_from) / (length - fade_from));
  return c * c;
}

VoiceFile make_drum(const Recipe& r, std::uint32_t seed) {
  const double rate = r.high_rate ? kHighRate : kBankRate;
  const auto length = static_cast<std::size_t>(r.seconds * rate);
  std::vector<double> out(length);
  Noise noise(seed);
  BandPass band(r.noise_centre, r.noise_q, rate);
  double phase = 0;
  for (std::size_t n = 0; n < length; ++n) {
    const double t = n / rate;
    const double f = r.glide > 0 ? r.body_end + (r.body_start - r.body_end) * std::exp(-t / r.glide) : r.body_end;
    phase += 2 * kPi * f / rate;
    double v = r.body_level * std::sin(phase) * std::exp(-t / r.body_decay);
    // Claps: bursts 10 ms apart, the last one ringing out.
    const double last_hit = 0.01 * (r.hits - 1);
    const double env = t < last_hit ? std::exp(-std::fmod(t, 0.01) / 0.003) : std::exp(-(t - last_hit) / r.noise_decay);
    v += r.noise_level * 3 * band.step(noise.next()) * env;
    out[n] = v * end_fade(n, length) * std::min(1.0, n / (0.0005 * rate));
  }
  VoiceFile v;
  v.name = r.name;
  v.samples = to_pcm(out);
  v.loop_start = 0;
  v.rate_class = r.high_rate ? 0 : 2;
  v.one_shot = true;
  v.envelope = EnvelopeShape{{127, 0, 0, 0, 0, 0, 0, 30}, 0};
  return v;
}

}  // namespace

std::vector<DrumVoice> drum_voices() {
  std::vector<DrumVoice> list;
  std::uint32_t seed = 9001;
  for (const Recipe& r : kRecipes) list.push_back({make_drum(r, seed++), r.description});
  return list;
}

}  // namespace kvt::bank
