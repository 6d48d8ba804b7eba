// Real MIDI files: each converts, or fails with a message, and a converted
// song lasts as long as the MIDI file, to the tick, and rings out for the
// 255 ticks that close every part.
#include <filesystem>
#include <fstream>

#include "convert_fixture.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;

// The MIDI file's length in ticks (the latest end of a track), the tick of
// its last note-on, and its time unit, read without the converter: 0
// ticks when unreadable.
struct MidiLength {
  std::int64_t ticks = 0;
  std::int64_t last_note = 0;
  int timebase = 0;             // MIDI ticks per quarter, or per second
  int song_ticks_per_unit = 0;  // song ticks per quarter, or per second at 120 bpm
};

std::int64_t varlen_at(const Bytes& b, std::size_t& at, std::size_t end) {
  std::int64_t v = 0;
  for (int i = 0; i < 4 && at < end; ++i) {
    const int x = b[at++];
    v = v << 7 | (x & 0x7F);
    if (x < 0x80) break;
  }
  return v;
}

std::int64_t track_length(const Bytes& b, std::size_t at, std::size_t end, std::int64_t& last_note) {
  std::int64_t t = 0;
  int status = 0;
  while (at < end) {
    t += varlen_at(b, at, end);
    if (at >= end) break;
    int event = status;
    if (b[at] >= 0x80) event = b[at++];
    if (event < 0xF0) status = event;
    if ((event & 0xF0) == 0x90 && at + 1 < end && b[at + 1] > 0) last_note = std::max(last_note, t);
    if (event == 0xFF) {
      const int type = at < end ? b[at++] : 0;
      const std::int64_t n = varlen_at(b, at, end);
      if (type == 0x2F) return t;
      at += static_cast<std::size_t>(n);
    } else if (event == 0xF0 || event == 0xF7) {
      at += static_cast<std::size_t>(varlen_at(b, at, end));
    } else {
      at += (status & 0xE0) == 0xC0 ? 1 : 2;
    }
  }
  return t;
}

MidiLength midi_length(const Bytes& b) {
  MidiLength m;
  for (std::size_t at = 0; at + 8 <= b.size();) {
    const std::string tag(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 4));
    const std::size_t n = static_cast<std::size_t>(b[at + 4]) << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7];
    const std::size_t data = at + 8, end = std::min(data + n, b.size());
    if (tag == "MThd" && n >= 6) {
      const bool smpte = b[data + 4] >= 0x80;
      m.timebase = smpte ? (256 - b[data + 4]) * b[data + 5] : b[data + 4] << 8 | b[data + 5];
      m.song_ticks_per_unit = smpte ? 96 : 48;
    }
    if (tag == "MTrk") m.ticks = std::max(m.ticks, track_length(b, data, end, m.last_note));
    at = end;
  }
  return m;
}

using Corpus = ConvertTest;

TEST_F(Corpus, EveryFileConvertsOrSaysWhyAndLastsAsLongAsItsMidiAndRingsOut) {
  const fs::path dir_path = corpus_dir("midi");
  if (dir_path.empty()) GTEST_SKIP() << "no MIDI corpus on this machine";
  settings = {90, 100, 4, 0, 0};
  int converted = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir_path)) {
    if (entry.path().extension() != ".mid") continue;
    SCOPED_TRACE(entry.path().string());
    const Bytes midi = read_file(entry.path().string());
    const int result = convert(midi);
    if (result != 0) {
      EXPECT_NE(messages.find('\n', messages.find("\n\n") + 2), std::string::npos) << "a reason is given";
      EXPECT_TRUE(song.empty());
      continue;
    }
    ++converted;
    const MidiLength length = midi_length(midi);
    if (length.timebase == 0) continue;
    const auto song_ticks = [&](std::int64_t t) { return t * length.song_ticks_per_unit / length.timebase; };
    std::int64_t longest = 0;
    for (int n = 0; n < part_count(); ++n) longest = std::max(longest, part_ticks(n));
    // The last part ends 255 ticks after its last event: after the last
    // note-on, at the latest at the end of the last track.
    EXPECT_GE(longest, song_ticks(length.last_note) + 255 - 1) << "last note at " << song_ticks(length.last_note);
    EXPECT_LE(longest, song_ticks(length.ticks) + 255 + 1) << "MIDI length " << song_ticks(length.ticks);
  }
  EXPECT_GT(converted, 20);
}

}  // namespace
}  // namespace kvt::test
