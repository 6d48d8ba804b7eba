// Same-measure events of an RCP track: each plays the measure at an offset
// in its track block, and that offset may hold another such event. What a
// chain of them leads to is kept for the rest of the track, so a long
// chain named again and again is walked once, and a circle is told apart
// from a long chain exactly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "memory_file.h"

namespace kvt::convert {

inline constexpr int kSameMeasure = 0xFC;

// Targets are 16-bit offsets with the two low bits cleared: a track block
// has at most this many.
inline constexpr std::size_t kMeasureTargets = 0x10000 / 4;

struct MeasureLead {
  int track = -1;         // the track it was found in; in any other it means nothing
  bool known = false;     // false while its chain is being walked
  std::uint16_t to = 0;   // known: where the chain ends; else the next target
};

struct MeasureLeads {
  std::array<MeasureLead, kMeasureTargets> at;
};

// The input offset of the measure that a same-measure event with these
// gate and velocity bytes plays, in track `track` whose block begins at
// `track_start`: its target, or where the chain from there ends. Nothing
// when the chain goes round in a circle.
std::optional<std::size_t> referenced_measure(MeasureLeads& leads, memory_file& input, int track,
                                              std::size_t track_start, int gate, int velocity);

}  // namespace kvt::convert
