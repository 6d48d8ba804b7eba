// What the fuzz targets share: stopping on a broken invariant, and a file
// path for the targets whose parsers read from disk.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace kvt::fuzz {

// An invariant that does not hold is a finding: the fuzzer stops on it.
inline void require(bool condition) {
  if (!condition) std::abort();
}

// `name` in a private directory made once per run.
inline std::string scratch_file(const std::string& name) {
  static const std::string dir = [] {
    std::string pattern = "/tmp/kvt-fuzz-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr);
    return pattern;
  }();
  return dir + "/" + name;
}

// Writes the fuzzer's bytes to `path`.
inline void write_input(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace kvt::fuzz
