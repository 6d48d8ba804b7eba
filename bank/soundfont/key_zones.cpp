#include "key_zones.h"

#include <algorithm>
#include <array>

namespace kvt::soundfont {
namespace {

using Values = std::array<int, kGenCount>;

bool is_range(int gen) { return gen == kKeyRange || gen == kVelRange; }

int signed_amount(std::uint16_t amount) { return static_cast<std::int16_t>(amount); }

// The generators of a zone laid over `base`; unknown numbers are ignored.
Values apply(Values base, const Zone& zone) {
  for (const Generator& g : zone.generators) {
    if (g.oper >= kGenCount) continue;
    base[g.oper] = is_range(g.oper) ? g.amount : signed_amount(g.amount);
  }
  return base;
}

bool has(const Zone& zone, int gen) {
  return std::any_of(zone.generators.begin(), zone.generators.end(),
                     [gen](const Generator& g) { return g.oper == gen; });
}

Values instrument_defaults() {
  Values v{};
  v[kKeyRange] = v[kVelRange] = 127 << 8;
  for (int g : {kDelayVolEnv, kAttackVolEnv, kHoldVolEnv, kDecayVolEnv, kReleaseVolEnv}) v[g] = -12000;
  v[kOverridingRootKey] = -1;
  return v;
}

struct Range {
  int lo, hi;
};

Range range(int amount) { return {amount & 0xFF, (amount >> 8) & 0xFF}; }

Range intersect(Range a, Range b) { return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)}; }

// Preset values add to the instrument's, for the generators a preset may set.
Values add_preset(Values inst, const Values& preset, const std::array<bool, kGenCount>& preset_set) {
  for (int g : {kPan, kDelayVolEnv, kAttackVolEnv, kHoldVolEnv, kDecayVolEnv, kSustainVolEnv, kReleaseVolEnv,
                kInitialAttenuation, kCoarseTune, kFineTune}) {
    if (preset_set[g]) inst[g] += preset[g];
  }
  return inst;
}

std::uint32_t offset(std::uint32_t base, int fine, int coarse, std::uint32_t lo, std::uint32_t hi) {
  const std::int64_t at = std::int64_t{base} + fine + std::int64_t{coarse} * 32768;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(at, lo, hi));
}

KeyZone make_zone(const Sf2File& file, const Values& v, Range keys, Range vels) {
  const Sample& s = file.samples[v[kSampleId]];
  KeyZone z;
  z.key_lo = keys.lo;
  z.key_hi = keys.hi;
  z.vel_lo = vels.lo;
  z.vel_hi = vels.hi;
  z.sample = v[kSampleId];
  const int root =
      v[kOverridingRootKey] >= 0 && v[kOverridingRootKey] <= 127 ? v[kOverridingRootKey] : s.original_pitch;
  z.root_key = root <= 127 ? root : 60;
  z.tune_cents = v[kCoarseTune] * 100 + v[kFineTune] + s.pitch_correction;
  z.start = offset(s.start, v[kStartOffset], v[kStartCoarseOffset], s.start, s.end);
  z.end = offset(s.end, v[kEndOffset], v[kEndCoarseOffset], z.start, s.end);
  z.loop_start = offset(s.loop_start, v[kLoopStartOffset], v[kLoopStartCoarseOffset], z.start, z.end);
  z.loop_end = offset(s.loop_end, v[kLoopEndOffset], v[kLoopEndCoarseOffset], z.loop_start, z.end);
  const int mode = v[kSampleModes] & 3;
  z.loop = (mode == 1 || mode == 3) && z.loop_end > z.loop_start + 1;
  z.attenuation = std::clamp(v[kInitialAttenuation], 0, 1440);
  z.pan = std::clamp(v[kPan], -500, 500);
  z.envelope = {
      v[kDelayVolEnv],  v[kAttackVolEnv], v[kHoldVolEnv], v[kDecayVolEnv], std::clamp(v[kSustainVolEnv], 0, 1440),
      v[kReleaseVolEnv]};
  return z;
}

}  // namespace

std::vector<KeyZone> key_zones(const Sf2File& file, const Preset& preset) {
  std::vector<KeyZone> out;
  Values preset_global{};
  std::array<bool, kGenCount> global_set{};
  for (std::size_t pz = 0; pz < preset.zones.size(); ++pz) {
    const Zone& zone = preset.zones[pz];
    if (!has(zone, kInstrument)) {
      if (pz == 0) {  // the preset's global zone
        preset_global = apply(Values{}, zone);
        for (const Generator& g : zone.generators)
          if (g.oper < kGenCount) global_set[g.oper] = true;
      }
      continue;
    }
    Values pv = apply(preset_global, zone);
    std::array<bool, kGenCount> pset = global_set;
    for (const Generator& g : zone.generators)
      if (g.oper < kGenCount) pset[g.oper] = true;
    const Range pkeys = pset[kKeyRange] ? range(pv[kKeyRange]) : Range{0, 127};
    const Range pvels = pset[kVelRange] ? range(pv[kVelRange]) : Range{0, 127};
    if (pv[kInstrument] < 0 || pv[kInstrument] >= static_cast<int>(file.instruments.size())) continue;
    const Instrument& inst = file.instruments[pv[kInstrument]];
    Values inst_global = instrument_defaults();
    for (std::size_t iz = 0; iz < inst.zones.size(); ++iz) {
      const Zone& izone = inst.zones[iz];
      if (!has(izone, kSampleId)) {
        if (iz == 0) inst_global = apply(instrument_defaults(), izone);
        continue;
      }
      const Values iv = add_preset(apply(inst_global, izone), pv, pset);
      if (iv[kSampleId] < 0 || iv[kSampleId] >= static_cast<int>(file.samples.size())) continue;
      const Range keys = intersect(pkeys, range(iv[kKeyRange]));
      const Range vels = intersect(pvels, range(iv[kVelRange]));
      if (keys.lo > keys.hi || vels.lo > vels.hi || keys.hi > 127) continue;
      const KeyZone z = make_zone(file, iv, keys, vels);
      if (z.end > z.start) out.push_back(z);
    }
  }
  return out;
}

}  // namespace kvt::soundfont
