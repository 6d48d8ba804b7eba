#include "soundfont_import.h"

#include <algorithm>
#include <cmath>

#include "envelope_shape.h"
#include "envelope_slots.h"
#include "voice_maker.h"
#include "zone_choice.h"

namespace kvt::soundfont {
namespace {

using bank::DrumKey;
using bank::Program;

constexpr int kPrograms = 128;
constexpr int kKeys = 128;
constexpr int kDrumBank = 128;
constexpr std::uint8_t kLevelScale = 100;
constexpr int kMelodicKeyOfPitch = 60;  // with transpose 0 and tuning 1.0 this key plays the class rate's pitch
constexpr int kDrumNoteOfPitch = 36;

std::int8_t level_of(int attenuation) {
  const double gain = std::pow(10.0, -attenuation / 200.0);
  return static_cast<std::int8_t>(std::clamp<long>(std::lround(128 * gain) - 128, -128, 127));
}

std::uint8_t pan_of(int pan) {
  return static_cast<std::uint8_t>(std::clamp<long>(64 + std::lround(pan * 63 / 500.0), 1, 127));
}

class Builder {
 public:
  Builder(const Sf2File& file, const ImportOptions& options) : file_(file), voices_(file, options.rate_class) {}

  // The program's layers from a melodic preset.
  Program melodic(const Preset& preset) {
    Program program;
    const Layers layers = choose_layers(file_, key_zones(file_, preset));
    for (int l = 0; l < 2; ++l) {
      if (layers[l].empty()) continue;
      std::vector<EnvelopeSlots::Use> uses;
      std::vector<bank::Split> splits;
      for (const KeyZone& z : layers[l]) {
        const VoiceMaker::Placed placed = voices_.voice_for(z);
        uses.push_back({placed.voice, envelope_shape(z.envelope)});
        const int transpose = std::clamp(kMelodicKeyOfPitch - z.root_key + placed.semitones, -128, 127);
        splits.push_back({pcm(placed.voice), level_of(z.attenuation), static_cast<std::int8_t>(transpose),
                          static_cast<std::int8_t>(z.key_lo), static_cast<std::int8_t>(z.key_hi)});
      }
      fill_gaps(splits, l == 0);
      const int set = slots_.place(uses);
      program.layers.push_back(
          {static_cast<std::uint16_t>(config_.multi.size()), static_cast<std::uint8_t>(set), kLevelScale, 0, 0, 0});
      config_.multi.push_back(std::move(splits));
    }
    return program;
  }

  std::vector<DrumKey> kit(const Preset& preset, int& keys) {
    std::vector<DrumKey> kit(kKeys);
    const Layers layers = choose_layers(file_, key_zones(file_, preset));
    for (const KeyZone& z : layers[0]) {
      const VoiceMaker::Placed placed = voices_.voice_for(z);
      const int set = slots_.place({{placed.voice, envelope_shape(z.envelope)}});
      for (int key = z.key_lo; key <= z.key_hi; ++key) {
        const int pitch = std::clamp(kDrumNoteOfPitch + key - z.root_key + placed.semitones, 0, 95);
        kit[key] = {pcm(placed.voice), static_cast<std::uint8_t>(set), static_cast<std::int8_t>(pitch),
                    level_of(z.attenuation), pan_of(z.pan)};
        ++keys;
      }
    }
    return kit;
  }

  bank::Config& config() { return config_; }

  std::vector<bank::VoiceFile> take_voices() {
    std::vector<bank::VoiceFile> voices = std::move(voices_.voices());
    for (std::size_t i = 0; i < voices.size(); ++i) voices[i].sets = slots_.sets_of(static_cast<int>(i));
    return voices;
  }

 private:
  static std::uint16_t pcm(int voice) { return static_cast<std::uint16_t>(kFirstVoice + voice); }

  // The converter walks a split list by key up to the split that ends at
  // 127: the first layer's splits stretch over the gaps, the second's gaps
  // get splits without a voice, which sound nothing.
  static void fill_gaps(std::vector<bank::Split>& splits, bool stretch) {
    std::vector<bank::Split> out;
    int next = 0;
    for (bank::Split s : splits) {
      if (s.low_key > next) {
        if (stretch) {
          s.low_key = static_cast<std::int8_t>(next);
        } else {
          out.push_back(
              {bank::kUndefined, 0, 0, static_cast<std::int8_t>(next), static_cast<std::int8_t>(s.low_key - 1)});
        }
      }
      out.push_back(s);
      next = s.high_key + 1;
    }
    if (next <= 127) {
      if (stretch) {
        out.back().high_key = 127;
      } else {
        out.push_back({bank::kUndefined, 0, 0, static_cast<std::int8_t>(next), 127});
      }
    }
    splits = std::move(out);
  }

  const Sf2File& file_;
  VoiceMaker voices_;
  EnvelopeSlots slots_;
  bank::Config config_;
};

// The imported program nearest to `p` in its family of eight, else 0, else the first.
int stand_in(const std::vector<bool>& have, int p) {
  const int family = p / 8 * 8;
  for (int d = 1; d < 8; ++d) {
    for (int q : {p - d, p + d}) {
      if (q >= family && q < family + 8 && have[q]) return q;
    }
  }
  if (have[0]) return 0;
  return static_cast<int>(std::find(have.begin(), have.end(), true) - have.begin());
}

const Preset* find_preset(const Sf2File& file, int bank, int program) {
  for (const Preset& p : file.presets)
    if (p.bank == bank && p.program == program) return &p;
  return nullptr;
}

}  // namespace

ImportedBank import_soundfont(const Sf2File& file, const ImportOptions& options) {
  Builder builder(file, options);
  bank::Config& c = builder.config();
  ImportedBank out;
  int total = 0, done = 0;
  for (int p = 0; p < kPrograms; ++p) {
    total += options.presets.has(0, p) && find_preset(file, 0, p) ? 1 : 0;
    total += options.presets.has(kDrumBank, p) && find_preset(file, kDrumBank, p) ? 1 : 0;
  }
  auto step = [&] {
    if (options.progress) options.progress(++done, total);
  };

  std::vector<bool> have(kPrograms, false);
  c.programs.resize(kPrograms);
  for (int p = 0; p < kPrograms; ++p) {
    const Preset* preset = options.presets.has(0, p) ? find_preset(file, 0, p) : nullptr;
    if (preset == nullptr) continue;
    c.programs[p] = builder.melodic(*preset);
    have[p] = !c.programs[p].layers.empty();
    out.programs += have[p] ? 1 : 0;
    step();
  }
  if (out.programs == 0) {  // nothing melodic: every program sounds nothing
    c.multi.push_back({{bank::kUndefined, 0, 0, 0, 127}});
    c.programs.assign(kPrograms, Program{{bank::Layer{0, 1, kLevelScale, 0, 0, 0}}, {}});
  }
  for (int p = 0; p < kPrograms; ++p) {
    if (out.programs > 0 && !have[p]) c.programs[p] = c.programs[stand_in(have, p)];
  }

  c.kit_of_program.assign(kPrograms, 0);
  std::vector<int> kit_programs;
  for (int p = 0; p < kPrograms; ++p) {
    const Preset* preset = options.presets.has(kDrumBank, p) ? find_preset(file, kDrumBank, p) : nullptr;
    if (preset == nullptr) continue;
    c.kit_of_program[p] = static_cast<int>(c.kits.size());
    c.kits.push_back(builder.kit(*preset, out.drum_keys));
    kit_programs.push_back(p);
    step();
  }
  // The standard kit (program 0, else the first) plays for programs without a kit of their own.
  if (c.kits.empty()) c.kits.emplace_back(kKeys);
  for (int p = 0; p < kPrograms; ++p) {
    if (std::find(kit_programs.begin(), kit_programs.end(), p) == kit_programs.end()) c.kit_of_program[p] = 0;
  }
  if (out.programs == 0 && out.drum_keys == 0) throw Sf2Error("none of the chosen presets has a sample to import");

  out.voices = builder.take_voices();
  c.pcm.resize(kFirstVoice);
  for (const bank::VoiceFile& v : out.voices)
    c.pcm.push_back({v.one_shot ? bank::kDrumKey : bank::kMelodicKey, v.name});
  out.config = std::move(c);
  return out;
}

}  // namespace kvt::soundfont
