// RCP files into Standard MIDI Files, byte by byte.
#include <algorithm>
#include <filesystem>

#include "convert_fixture.h"
#include "midi_config.h"

namespace kvt::test {
namespace {

struct RcpEvent {
  int code, step, gate, velocity;
};

struct RcpTrack {
  int channel = 0;
  std::string comment;
  std::vector<RcpEvent> events;  // an end event follows
};

constexpr std::size_t kFirstTrack = 0x586;

Bytes rcp_file(const std::vector<RcpTrack>& tracks, const std::string& title = "Song", int timebase = 48,
               int tempo = 120) {
  Bytes b(kFirstTrack, 0);
  const std::string magic = "RCM-PC98V2.0(C)COME ON MUSIC\r\n";
  std::copy(magic.begin(), magic.end(), b.begin());
  std::copy(title.begin(), title.end(), b.begin() + 0x20);
  b[0x1C0] = static_cast<std::uint8_t>(timebase);
  b[0x1C1] = static_cast<std::uint8_t>(tempo);
  b[0x1E7] = static_cast<std::uint8_t>(timebase >> 8);
  for (const RcpTrack& t : tracks) {
    const std::size_t start = b.size();
    b.insert(b.end(), {0x00, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(t.channel), 0, 0, 0});
    Bytes comment(36, 0);
    std::copy(t.comment.begin(), t.comment.end(), comment.begin());
    b.insert(b.end(), comment.begin(), comment.end());
    for (const RcpEvent& e : t.events)
      b.insert(b.end(), {static_cast<std::uint8_t>(e.code), static_cast<std::uint8_t>(e.step),
                         static_cast<std::uint8_t>(e.gate), static_cast<std::uint8_t>(e.velocity)});
    b.insert(b.end(), {0xFE, 0, 0, 0});
    const std::size_t size = b.size() - start;
    b[start] = static_cast<std::uint8_t>(size);
    b[start + 1] = static_cast<std::uint8_t>(size >> 8);
  }
  return b;
}

class Rcp : public ::testing::Test {
 protected:
  int convert(const Bytes& rcp) {
    const std::string in = dir.write("song.rcp", rcp);
    std::filesystem::remove(dir / "song.mid");
    char text[8192] = "";
    const int result = rcp2mid_convert(in.c_str(), "", nullptr, text, sizeof text);
    messages = text;
    midi = read_file(dir / "song.mid");
    return result;
  }
  // The bytes of MIDI track n after its name and tempo events.
  Bytes track_events(int n) const {
    std::size_t at = 14;
    for (int i = 0;; ++i) {
      const std::size_t length = midi.at(at + 4) << 24 | midi.at(at + 5) << 16 | midi.at(at + 6) << 8 | midi.at(at + 7);
      const std::size_t data = at + 8;
      if (i == n) {
        const std::size_t events = data + 4 + midi.at(data + 3) + 7;
        return Bytes(midi.begin() + static_cast<long>(events), midi.begin() + static_cast<long>(data + length));
      }
      at = data + length;
    }
  }
  int track_count() const {
    int n = 0;
    for (std::size_t at = 14; at + 8 <= midi.size(); ++n)
      at += 8 + (midi[at + 4] << 24 | midi[at + 5] << 16 | midi[at + 6] << 8 | midi[at + 7]);
    return n;
  }

  ScratchDir dir;
  std::string messages;
  Bytes midi;
};

TEST_F(Rcp, OneNoteIsExact) {
  ASSERT_EQ(convert(rcp_file({{0, "", {{60, 48, 24, 100}}}})), 0) << messages;
  const Bytes expected_start{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 18, 0, 48, 'M', 'T', 'r', 'k', 0, 0, 0, 27,
                             0, 0xFF, 0x03, 4, 'S', 'o', 'n', 'g', 0, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
  ASSERT_GE(midi.size(), expected_start.size());
  EXPECT_EQ(Bytes(midi.begin(), midi.begin() + static_cast<long>(expected_start.size())), expected_start);
  EXPECT_EQ(track_events(0), (Bytes{0, 0x90, 60, 100, 24, 0x90, 60, 0, 24, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(messages, ".rcp->.mid Converter Ver0.40 ... '" + (dir / "song.rcp") + "'\n\n.");
}

TEST_F(Rcp, BytesBeforeTheMagicAreSkipped) {
  Bytes file = rcp_file({{0, "", {{60, 48, 24, 100}}}});
  file.insert(file.begin(), {'j', 'u', 'n', 'k'});
  ASSERT_EQ(convert(file), 0) << messages;
  EXPECT_EQ(track_events(0), (Bytes{0, 0x90, 60, 100, 24, 0x90, 60, 0, 24, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, TrackBlocksBecomeTracksAndAnEmptyBlockEndsThem) {
  std::vector<RcpTrack> tracks(36, RcpTrack{1, "Part", {{62, 24, 12, 80}}});
  ASSERT_EQ(convert(rcp_file(tracks)), 0) << messages;
  EXPECT_EQ(midi[11], 18) << "the header always declares 18";
  EXPECT_EQ(track_count(), 36);
  const Bytes second_name{0, 0xFF, 0x03, 4, 'P', 'a', 'r', 't'};
  EXPECT_NE(std::search(midi.begin(), midi.end(), second_name.begin(), second_name.end()), midi.end());

  Bytes cut = rcp_file({{0, "", {{60, 48, 24, 100}}}, {0, "", {{62, 48, 24, 100}}}});
  const std::size_t second = kFirstTrack + 44 + 8;
  cut[second] = cut[second + 1] = 0;
  ASSERT_EQ(convert(cut), 0) << messages;
  EXPECT_EQ(track_count(), 1);
}

TEST_F(Rcp, ARepeatedKeyExtendsTheSoundingNote) {
  const RcpTrack t{0, "", {{60, 10, 30, 100}, {60, 10, 40, 100}, {0x90, 60, 0, 0}}};
  ASSERT_EQ(convert(rcp_file({t})), 0) << messages;
  // One note-on; it ends 10 + 40 ticks after it began.
  EXPECT_EQ(track_events(0), (Bytes{0, 0x90, 60, 100, 50, 0x90, 60, 0, 30, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, LoopsRepeatTheirBody) {
  ASSERT_EQ(convert(rcp_file({{0, "", {{0xF9, 0, 0, 0}, {60, 10, 5, 90}, {0xF8, 4, 0, 0}}}})), 0) << messages;
  Bytes four;
  for (int i = 0; i < 4; ++i) four.insert(four.end(), {static_cast<std::uint8_t>(i == 0 ? 0 : 5), 0x90, 60, 90, 5, 0x90, 60, 0});
  EXPECT_EQ(track_events(0), cat({four, {5, 0xFF, 0x2F, 0x00}}));
  ASSERT_EQ(convert(rcp_file({{0, "", {{0xF9, 0, 0, 0}, {60, 10, 5, 90}, {0xF8, 0, 0, 0}}}})), 0) << messages;
  EXPECT_EQ(track_events(0), (Bytes{0, 0x90, 60, 90, 5, 0x90, 60, 0, 5, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, SameMeasureFollowsItsChainToTheRealMeasure) {
  // Events at block offsets 44 (the measure), 48 (its end), 52 and 56.
  const RcpTrack t{0, "", {{64, 10, 5, 70}, {0xFD, 0, 0, 0}, {0xFC, 0, 44, 0}, {0xFC, 0, 52, 0}}};
  ASSERT_EQ(convert(rcp_file({t})), 0) << messages;
  const Bytes once{0x90, 64, 70, 5, 0x90, 64, 0};
  EXPECT_EQ(track_events(0), cat({{0}, once, {5}, once, {5}, once, {5, 0xFF, 0x2F, 0x00}}));
}

TEST_F(Rcp, SameMeasureChainsOfAnyLengthEnd) {
  // The measure at block offset 44, then 300 references, each naming the one before it.
  RcpTrack t{0, "", {{64, 10, 5, 70}, {0xFD, 0, 0, 0}}};
  for (int named = 44, at = 52; at < 52 + 4 * 300; named = at, at += 4)
    t.events.push_back({0xFC, 0, named & 0xFF, named >> 8});
  ASSERT_EQ(convert(rcp_file({t})), 0) << messages;
  Bytes expected{0};
  for (int i = 0; i < 301; ++i) expected = cat({expected, {0x90, 64, 70, 5, 0x90, 64, 0, 5}});
  EXPECT_EQ(track_events(0), cat({expected, {0xFF, 0x2F, 0x00}}));
}

TEST_F(Rcp, SameMeasureCirclesAreRefused) {
  // 300 references at block offsets 44 on, each naming the next; the last names the first.
  RcpTrack circle{0, "", {}};
  for (int at = 44; at < 44 + 4 * 300; at += 4) {
    const int named = at + 4 < 44 + 4 * 300 ? at + 4 : 44;
    circle.events.push_back({0xFC, 0, named & 0xFF, named >> 8});
  }
  const RcpTrack itself{0, "", {{60, 10, 5, 70}, {0xFC, 0, 48, 0}}};
  for (const RcpTrack& t : {circle, itself}) {
    EXPECT_EQ(convert(rcp_file({t})), 1);
    EXPECT_NE(messages.find("ERROR! The measure references of track 0 go round in a circle.\n"), std::string::npos)
        << messages;
    EXPECT_FALSE(std::filesystem::exists(dir / "song.mid"));
  }
}

TEST_F(Rcp, CommandsBecomeChannelMessages) {
  const RcpTrack t{2, "", {{0xE2, 0, 5, 3}, {0xE7, 0, 60, 0}, {0xEB, 0, 7, 100}, {0xEE, 0, 0, 64}, {0xE6, 0, 5, 0},
                           {0xEC, 0, 9, 0}, {0xEA, 0, 50, 0}, {0xED, 4, 60, 30}, {60, 0, 0, 100}}};
  ASSERT_EQ(convert(rcp_file({t})), 0) << messages;
  EXPECT_EQ(track_events(0), (Bytes{0, 0xB2, 0, 3, 0, 0x20, 0x00, 0, 0xC2, 5,  // bank and program
                                    0, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,       // tempo 2 x 60
                                    0, 0xB2, 7, 100, 0, 0xE2, 0, 64,             // control, bend
                                    0, 0xC4, 9, 0, 0xD4, 50, 0, 0xA4, 60, 30,   // channel 5 from here
                                    4, 0x94, 60, 0,                              // key 60, gate 0: velocity 0
                                    0, 0x94, 60, 0, 0, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, SwitchedOffTracksKeepTheirTimeButNoEvents) {
  ASSERT_EQ(convert(rcp_file({{16, "", {{60, 48, 24, 100}, {0xEB, 0, 7, 100}}}})), 0) << messages;
  EXPECT_EQ(track_events(0), (Bytes{48, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, NotesStillSoundingEndWithTheTrack) {
  ASSERT_EQ(convert(rcp_file({{0, "", {{60, 10, 200, 100}, {62, 10, 200, 100}}}})), 0) << messages;
  EXPECT_EQ(track_events(0),
            (Bytes{0, 0x90, 60, 100, 10, 0x90, 62, 100, 10, 0x90, 60, 0, 0, 0x90, 62, 0, 0, 0xFF, 0x2F, 0x00}));
}

TEST_F(Rcp, FailuresSayWhyAndWriteNothing) {
  EXPECT_EQ(convert(rcp_file({{0, "", {{0xE1, 0, 0, 0}}}})), 1);
  EXPECT_NE(messages.find("ERROR! Unknown event code 0xE1 in track 0.\n"), std::string::npos) << messages;
  EXPECT_FALSE(std::filesystem::exists(dir / "song.mid"));
  EXPECT_EQ(convert({'R', 'C'}), 1);
  EXPECT_NE(messages.find("Gee... It's not RCP file!\n"), std::string::npos);
  EXPECT_EQ(convert(Bytes(600, 'x')), 1);
  EXPECT_NE(messages.find("Gee... It's not RCP file!\n"), std::string::npos);

  std::vector<RcpEvent> chord;
  for (int i = 0; i < 257; ++i) chord.push_back({i % 128, 0, 100, 100});
  EXPECT_EQ(convert(rcp_file({{0, "", chord}})), 0) << "keys repeat: at most 128 sound";
  std::vector<RcpEvent> deep(257, RcpEvent{0xF9, 0, 0, 0});
  EXPECT_EQ(convert(rcp_file({{0, "", deep}})), 1);
  EXPECT_NE(messages.find("nested more than 256 deep"), std::string::npos) << messages;
  std::vector<RcpEvent> busy;
  for (int i = 0; i < 17000; ++i) busy.push_back({60 + i % 2, 1, 1, 100});
  EXPECT_EQ(convert(rcp_file({{0, "", busy}})), 1);
  EXPECT_NE(messages.find("65536 bytes or more"), std::string::npos) << messages.substr(0, 200);

  char text[4096] = "";
  EXPECT_EQ(rcp2mid_convert((dir / "none.rcp").c_str(), "", nullptr, text, sizeof text), 1);
  EXPECT_NE(std::string(text).find("ERROR! File open error '" + (dir / "none.rcp") + "'"), std::string::npos);
}

TEST_F(Rcp, FoldersAndDevicesAreNoInputOfEitherConverter) {
  const NonRegularFiles inputs(dir, ".rcp");
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const mid2kvt_settings settings{0, 0, 2, 0, 0};
  for (const std::string& path : inputs.all()) {
    SCOPED_TRACE(path);
    char text[4096] = "";
    EXPECT_EQ(rcp2mid_convert(path.c_str(), (dir / "out.mid").c_str(), nullptr, text, sizeof text), 1);
    EXPECT_NE(std::string(text).find("\n\nERROR! Unable to open " + path + "\nERROR! File open error '" + path + "'\n"),
              std::string::npos)
        << text;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.mid"));
    text[0] = '\0';
    const std::string song = dir / "out.kvt";
    EXPECT_EQ(mid2kvt_convert(path.c_str(), cfg.c_str(), song.c_str(), &settings, nullptr, text, sizeof text), 1);
    EXPECT_NE(std::string(text).find("ERROR! Unable to open " + path + "\nERROR! File open error '" + path + "'\n"),
              std::string::npos)
        << text;
    EXPECT_FALSE(std::filesystem::exists(song));
  }
}

TEST_F(Rcp, TheCorpusConvertsAndTheConverterReadsTheResult) {
  const std::filesystem::path corpus = corpus_dir("rcp");
  if (corpus.empty()) GTEST_SKIP() << "no RCP corpus on this machine";
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  int converted = 0;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    if (e.path().extension() != ".rcp") continue;
    SCOPED_TRACE(e.path().string());
    if (convert(read_file(e.path().string())) != 0) {
      EXPECT_NE(messages.find("Gee... It's not RCP file!\n"), std::string::npos) << messages;
      continue;
    }
    ++converted;
    char text[65536] = "";
    const mid2kvt_settings settings{0, 0, 2, 0, 0};
    EXPECT_EQ(mid2kvt_convert((dir / "song.mid").c_str(), cfg.c_str(), (dir / "song.kvt").c_str(), &settings, nullptr,
                              text, sizeof text),
              0)
        << text;
  }
  EXPECT_GE(converted, 2);
}

}  // namespace
}  // namespace kvt::test
