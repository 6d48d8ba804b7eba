// Compiling MML sources through the library's C export in a scratch
// directory, with the small voice configuration of test_config().
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "mml_config.h"

namespace kvt::test {

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

// The message buffer's error part: from "ERROR! " on.
std::string error_text(const Compiled& c);

}  // namespace kvt::test
