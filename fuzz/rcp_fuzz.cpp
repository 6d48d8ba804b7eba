// Converts arbitrary bytes as an RCP file. The conversion must end and
// keep its messages inside the buffer; a MIDI file it writes must start
// with the MIDI header.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "rcp_converter.h"

using kvt::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string in = kvt::fuzz::scratch_file("in.rcp"), out = kvt::fuzz::scratch_file("out.mid");
  kvt::fuzz::write_input(in, data, size);
  unlink(out.c_str());
  constexpr std::size_t kText = 512;
  char text[kText + 1];
  text[0] = '\0';
  text[kText] = 'z';
  const int result = kvt::convert::convert_rcp(in, out, nullptr, text, kText);
  require(text[kText] == 'z' && std::memchr(text, 0, kText) != nullptr);
  std::ifstream written(out, std::ios::binary);
  const std::vector<char> midi{std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()};
  if (result == 0) require(midi.size() >= 14 && std::memcmp(midi.data(), "MThd", 4) == 0 && midi.size() <= 420000);
  if (result != 0) require(midi.empty());
  return 0;
}
