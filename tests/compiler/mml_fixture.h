// Compiling MML sources through the library's C export in a scratch
// directory, with a small voice configuration of known contents:
//   PCM voice 0 "sine" key 60, voice 1 "saw" key 64, voice 2 "noise" key 0;
//   multi-sample voice 10: keys up to 59 play voice 0 (volume -2,
//   transpose +12), from 60 voice 1 (volume +3, transpose -12).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvt::test {

using Bytes = std::vector<std::uint8_t>;

struct Compiled {
  int result = -1;
  std::string text;  // the message buffer
  Bytes object;      // the song data file, empty when none was written
};

class MmlTest : public ::testing::Test {
 protected:
  MmlTest();
  ~MmlTest() override;

  Compiled compile(const std::string& source, const std::string& name = "song.mml");
  // Part `index`'s bytes, as many as `expected` holds, from its table entry.
  Bytes part_bytes(const Compiled& c, int index, std::size_t count) const;
  // The bytes of part 0A up to its end command, for the common case of a
  // one-part song (the end command is the first 0xFF followed by 0xFF 0xFF).
  Bytes first_part(const Compiled& c) const;

  std::filesystem::path dir;
  std::filesystem::path config;
};

// The test configuration's image.
Bytes test_config();

// The message buffer's error part: from "ERROR! " on.
std::string error_text(const Compiled& c);

}  // namespace kvt::test
