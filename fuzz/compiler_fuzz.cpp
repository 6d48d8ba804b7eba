// Compiles arbitrary bytes as an MML source. The compilation must end,
// keep its messages inside the buffer, and any object it produces must fit
// the object buffer and start with the song magic.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "compilation.h"
#include "fuzz_support.h"
#include "mml_config.h"

using kvt::fuzz::require;

namespace {

const std::vector<std::uint8_t>& config() {
  static const std::vector<std::uint8_t> image = kvt::test::test_config();
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kText = 512;
  char text[kText + 1];
  text[0] = '\0';
  text[kText] = 'z';  // a guard byte the compiler must not reach
  std::vector<std::uint8_t> object;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const int result = kvt::compiler::compile_buffers(source, config(), text, kText, object);
  require(text[kText] == 'z' && std::memchr(text, 0, kText) != nullptr);
  if (result == 0) require(object.size() <= 48000 && object.size() >= 0x290 && std::memcmp(object.data(), "KVTM", 4) == 0);
  return 0;
}
