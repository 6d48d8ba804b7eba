#include "midi_config.h"

#include "config_file.h"

namespace kvt::test {

std::vector<std::uint8_t> midi_test_config() {
  using namespace kvt::bank;
  Config c;
  c.pcm = {{kMelodicKey, "low"}, {kMelodicKey, "high"}, {kDrumKey, "kick"}, {kDrumKey, "snare"}};
  c.multi = {{{0, 0, 12, 0, 59}, {1, 0, -12, 60, 127}}, {{2, 10, 0, 0, 127}}};
  const Layer plain{0, 1, 100, 0, 0, 0};
  for (int p = 0; p < 128; ++p) c.programs.push_back(Program{{plain}, {}});
  c.programs[1].layers.push_back(Layer{0, 1, 100, 0, 0, 5});
  c.programs[2].layers[0] = Layer{0, 1, 100, 3, 20, 0};
  c.programs[3].variants.push_back(ProgramVariant{8, {Layer{1, 1, 100, 0, 0, 0}}});
  std::vector<DrumKey> kit(128);
  kit[36] = DrumKey{2, 2, 36, 0, 64};
  kit[38] = DrumKey{3, 2, 38, -8, 40};
  c.kits.push_back(kit);
  c.kit_of_program.assign(128, 0);
  return config_file_bytes(c);
}

}  // namespace kvt::test
