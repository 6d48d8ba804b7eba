// What a WAVE rendering must hold, computed independently of the player
// host: the driver's blocks until the song ends, with the fade rule, and
// the RIFF header spelled out field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "song_builder.h"

namespace kvt::test {

struct WavSettings {
  int rate_index = 0;
  int channel = 2;
  int effect_level = 0;
  int fade = 0;
  int loop = 1;
  int bit = 16;
};

// The driver's samples of every block that a rendering writes, or of its
// first `max_blocks`.
std::vector<std::int16_t> rendered_samples(const Bytes& song, const std::map<int, Bytes>& voices,
                                           const WavSettings& s, std::size_t max_blocks = SIZE_MAX);
// The whole expected file, when the samples are those of every pass.
Bytes expected_wav(const std::vector<std::int16_t>& samples, const WavSettings& s);
// The whole expected file of a rendering. For 8 bits the peak of a first pass
// scales a second one, which restarts the driver while the fade speed that
// the first pass ended with still holds, and only then stops the fade.
Bytes expected_wav(const Bytes& song, const std::map<int, Bytes>& voices, const WavSettings& s);

}  // namespace kvt::test
