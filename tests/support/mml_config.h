// A small voice configuration of known contents for compiler tests:
//   PCM voice 0 "sine" key 60, voice 1 "saw" key 64, voice 2 "noise" key 0;
//   multi-sample voice 10: keys up to 59 play voice 0 (volume -2,
//   transpose +12), from 60 voice 1 (volume +3, transpose -12).
#pragma once

#include <cstdint>
#include <vector>

namespace kvt::test {

using Bytes = std::vector<std::uint8_t>;

Bytes test_config();

}  // namespace kvt::test
