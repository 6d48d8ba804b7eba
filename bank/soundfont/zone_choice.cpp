#include "zone_choice.h"

#include <algorithm>

namespace kvt::soundfont {
namespace {

bool overlap(const KeyZone& a, const KeyZone& b) { return a.key_lo <= b.key_hi && b.key_lo <= a.key_hi; }

bool plays_velocity(const KeyZone& z) { return z.vel_lo <= kVelocity && kVelocity <= z.vel_hi; }

// A right sample whose left partner the file has: the left one sounds for both.
bool is_right_of_pair(const Sf2File& file, const KeyZone& z) {
  const Sample& s = file.samples[z.sample];
  return (s.type & 0x7FFF) == kRight && s.link < file.samples.size() && (file.samples[s.link].type & 0x7FFF) == kLeft;
}

}  // namespace

Layers choose_layers(const Sf2File& file, const std::vector<KeyZone>& zones) {
  std::vector<KeyZone> chosen;
  for (const KeyZone& z : zones)
    if (plays_velocity(z) && !is_right_of_pair(file, z)) chosen.push_back(z);
  std::vector<KeyZone> softer;
  for (const KeyZone& z : zones)
    if (!plays_velocity(z) && !is_right_of_pair(file, z)) softer.push_back(z);
  std::stable_sort(softer.begin(), softer.end(),
                   [](const KeyZone& a, const KeyZone& b) { return a.vel_hi > b.vel_hi; });
  for (const KeyZone& z : softer) {
    if (std::none_of(chosen.begin(), chosen.end(), [&](const KeyZone& c) { return overlap(c, z); }))
      chosen.push_back(z);
  }
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const KeyZone& a, const KeyZone& b) { return a.key_lo < b.key_lo; });
  Layers layers;
  for (KeyZone z : chosen) {
    if ((file.samples[z.sample].type & 0x7FFF) == kLeft) z.pan = 0;  // alone now, so centred
    for (auto& layer : layers) {
      if (layer.empty() || layer.back().key_hi < z.key_lo) {
        layer.push_back(z);
        break;
      }
    }
  }
  return layers;
}

}  // namespace kvt::soundfont
