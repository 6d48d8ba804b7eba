// A SoundFont volume envelope as the driver's envelope parameters: the
// attack as a rise in level steps, the decay to the sustain level, an
// endless sustain, and the release.
#pragma once

#include "key_zones.h"
#include "voice_file.h"

namespace kvt::soundfont {

// The rate (0..95) whose step lasts nearest to `seconds`, and how far the
// decay shift must slow it when even the slowest rate is too fast.
struct Rate {
  int rate;
  int shift;
};
Rate rate_for_step(double seconds, int max_shift);

bank::EnvelopeShape envelope_shape(const VolumeEnvelope& envelope);

}  // namespace kvt::soundfont
