// Which zones of a preset the bank keeps: those a velocity of 100 plays
// (or the loudest layer where none does), the left half of a stereo pair,
// in at most two layers of key ranges that do not overlap.
#pragma once

#include <array>
#include <vector>

#include "key_zones.h"

namespace kvt::soundfont {

inline constexpr int kVelocity = 100;

using Layers = std::array<std::vector<KeyZone>, 2>;  // each sorted by key, ranges apart

Layers choose_layers(const Sf2File& file, const std::vector<KeyZone>& zones);

}  // namespace kvt::soundfont
