// Reads arbitrary bytes as a SoundFont and imports every preset. Reading
// must end with the file or with Sf2Error, and the import's voices must
// lie within the data that was read.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "sf2_file.h"
#include "soundfont_import.h"

using kvt::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const kvt::soundfont::Sf2File file = kvt::soundfont::read_sf2(data, size);
    const kvt::soundfont::ImportedBank bank = kvt::soundfont::import_soundfont(file, {});
    std::size_t points = 0;
    for (const auto& v : bank.voices) {
      require(!v.samples.empty() && v.loop_start <= v.samples.size() && v.name.size() <= 8);
      points += v.samples.size();
    }
    require(points <= 4 * file.data.size() + (1u << 20) + bank.voices.size());
    require(bank.config.programs.size() == 128 && bank.config.kit_of_program.size() == 128);
  } catch (const kvt::soundfont::Sf2Error&) {
  }
  return 0;
}
