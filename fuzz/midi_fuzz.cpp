// Converts arbitrary bytes as a MIDI file. The conversion must end, keep
// its messages inside the buffer, and a song it makes must fit the output
// buffer and start with the song magic.
#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion.h"
#include "fuzz_support.h"
#include "midi_config.h"

using kvt::fuzz::require;

namespace {

const std::vector<std::uint8_t>& config() {
  static const std::vector<std::uint8_t> image = kvt::test::midi_test_config();
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kText = 512;
  char text[kText + 1];
  text[0] = '\0';
  text[kText] = 'z';  // a guard byte the converter must not reach
  const std::vector<std::uint8_t> midi(data, data + size);
  std::vector<std::uint8_t> song;
  const mid2kvt_settings settings{90, 100, 4, 0, 0};
  const int result = kvt::convert::convert_midi_image(midi, config(), settings, text, kText, song);
  require(text[kText] == 'z' && std::memchr(text, 0, kText) != nullptr);
  if (result == 0) require(song.size() >= 4111 && song.size() <= 420000 && std::memcmp(song.data(), "KVTM", 4) == 0);
  return 0;
}
