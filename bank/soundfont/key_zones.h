// A preset's sounding zones: each instrument zone as the preset plays it,
// with the preset's and the instrument's global settings applied.
#pragma once

#include <cstdint>
#include <vector>

#include "sf2_file.h"

namespace kvt::soundfont {

// Times in timecents, the sustain as an attenuation in centibels.
struct VolumeEnvelope {
  int delay = -12000, attack = -12000, hold = -12000, decay = -12000, sustain = 0, release = -12000;
  bool operator==(const VolumeEnvelope&) const = default;
};

struct KeyZone {
  int key_lo = 0, key_hi = 127, vel_lo = 0, vel_hi = 127;
  int sample = 0;
  int root_key = 60;
  int tune_cents = 0;  // coarse and fine tune and the sample's correction
  bool loop = false;
  std::uint32_t start = 0, end = 0, loop_start = 0, loop_end = 0;  // in the data, loop within start..end
  int attenuation = 0;                                             // centibels
  int pan = 0;                                                     // -500 (left) .. 500 (right)
  VolumeEnvelope envelope;
};

// The zones in file order; ones without a sample or an empty key range are left out.
std::vector<KeyZone> key_zones(const Sf2File& file, const Preset& preset);

}  // namespace kvt::soundfont
