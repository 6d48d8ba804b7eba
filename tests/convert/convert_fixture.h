// Converting hand-built MIDI files with the test configuration, and
// reading the song data that comes out.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host_fixture.h"
#include "kvt/mid2kvt.h"
#include "smf_builder.h"

namespace kvt::test {

// Part streams start with these before their first event.
Bytes conductor_opening();                   // 7F 01 E3 0A 75
Bytes channel_opening(int channel, const std::string& name);  // format 0 part 0, name of 16
Bytes extra_part_opening(int channel);       // format 0 later parts
Bytes format1_opening();                     // 7F 01 E3 0A 75
Bytes cat(std::initializer_list<Bytes> pieces);

// The real-world files of one kind ("midi", "rcp"), or an empty path when
// this machine has none.
std::filesystem::path corpus_dir(const std::string& kind);

class ConvertTest : public ::testing::Test {
 protected:
  // Writes the file and converts it to out.kvt; returns the result.
  int convert(const Bytes& midi);
  // Part n of the song's part table, up to and including its end byte.
  Bytes part(int n) const;
  int part_count() const;
  // Song ticks that part n lasts, loops counted out.
  std::int64_t part_ticks(int n) const;

  ScratchDir dir;
  mid2kvt_settings settings{0, 0, 2, 0, 0};
  std::string messages;
  Bytes song;
};

}  // namespace kvt::test
