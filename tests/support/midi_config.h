// A small configuration of known contents for the MIDI converter tests.
//   voice files: 0 "low" and 1 "high" (melodic), 2 "kick" and 3 "snare"
//   (drums, key byte 0xFF);
//   split list 0: keys 0..59 play "low" (transpose +12), 60..127 "high"
//   (transpose -12); split list 1: "kick" for every key, level +10;
//   programs: every program one layer of split 0 (envelope set 1, level
//   scale 100); program 1 two layers (the second detuned by 5); program 2
//   with vibrato step 3 and delay 20; program 3 has a bank 8 variant that
//   plays split 1;
//   drum kit (every program): key 36 "kick" pitch 36 pan 64, key 38 "snare"
//   pitch 38 pan 40 level -8, envelope set 2; other keys undefined.
#pragma once

#include <cstdint>
#include <vector>

namespace kvt::test {

std::vector<std::uint8_t> midi_test_config();

}  // namespace kvt::test
