// Reads the title of arbitrary bytes as a song data, MIDI and RCP file.
// Each reader must end with 0 or -1, keep the title inside an odd-sized
// buffer and NUL-terminated, and leave no message for a file it could open.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "title_readers.h"

using kvt::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = kvt::fuzz::scratch_file("in");
  kvt::fuzz::write_input(path, data, size);
  using Reader = int (*)(const std::string&, char*, std::size_t, kvt::convert::Messages&);
  for (const Reader reader : {kvt::convert::gettitle_fm, kvt::convert::gettitle_mid, kvt::convert::gettitle_rcp}) {
    constexpr std::size_t kTitle = 37;
    char title[kTitle + 1];
    title[kTitle] = 'z';  // a guard byte the reader must not reach
    char text[64] = "";
    kvt::convert::Messages messages{text, sizeof text, nullptr};
    const int result = reader(path, title, kTitle, messages);
    require(result == 0 || result == -1);
    require(title[kTitle] == 'z' && text[0] == '\0');
    if (result == 0) require(std::memchr(title, 0, kTitle) != nullptr);
  }
  return 0;
}
