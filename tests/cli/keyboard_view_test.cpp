// `kvt play --keyboard`: the visual player's keyboard live on the terminal,
// checked on the screen as the user sees it, over SDL's disk card.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "card_capture.h"
#include "host_fixture.h"
#include "run_kvt.h"
#include "terminal_screen.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kBassKey = 49;     // C#, a black key
constexpr std::uint8_t kPianoKey = 55;    // G, a white key
constexpr std::uint8_t kFlickerKey = 52;  // between them, so the keys in use stay 49 to 55
constexpr int kKeysAt = 15;               // the name's 14 columns and a blank
constexpr int kPictureLines = 20;         // three header lines and 17 rows
constexpr std::uint8_t kLongHold = 255;   // ticks of about 10 ms, twice over

// Row 0 "Bass" and row 1 "ピアノ" (Shift-JIS) each hold a key for twice
// `hold` ticks; row 2, unnamed, plays a key on and off meanwhile, so that
// the picture is drawn again and again.
std::vector<Bytes> held_keys(std::uint8_t hold) {
  Bytes bass = {0xFD, 4, 'B', 'a', 's', 's'};
  Bytes piano = {0xFD, 6, 0x83, 0x73, 0x83, 0x41, 0x83, 0x6D};
  for (Bytes* part : {&bass, &piano}) {
    const std::uint8_t key = part == &bass ? kBassKey : kPianoKey;
    part->insert(part->end(), {0x73, 0, 0x6D, 245, key, hold, 0x74, key, hold, 0xFF});
  }
  const auto flickers = static_cast<std::uint8_t>(hold / 8);
  const Bytes flicker = {0x73, 0, 0x6D, 245, 0x60, flickers, kFlickerKey, 8, 0x75, 8, 0x61, 0xFF};
  return {bass, piano, flicker};
}

// Keys `first` to `first + count - 1` as drawn: white '-', black '#'.
std::string keys(int first, int count) {
  const std::string octave = "-#-#--#-#-#-";
  std::string shown;
  for (int key = first; key < first + count; ++key) shown += octave[key % 12];
  return shown;
}

std::vector<std::string> expected_picture(const std::string& file_line, int first_key, int count) {
  const std::string keyboard = " " + keys(first_key, count);
  std::vector<std::string> lines = {file_line, "Title : None", "22.05KHz  ステレオ  Effect=2",
                                    "Bass          " + keyboard, "ピアノ        " + keyboard};
  while (lines.size() < kPictureLines) lines.push_back(std::string(14, ' ') + keyboard);
  return lines;
}

// The picture was drawn more than once: its header came again.
bool redrawn(const std::string& shown) { return shown.find("File  : ") != shown.rfind("File  : "); }

class PlayKeyboard : public ToneSongTest {
 protected:
  // Nearer real time, so that the keys are held while the test looks.
  PlayKeyboard()
      : ToneSongTest(held_keys(kLongHold), "a folder with a name long enough to be cut/Keys.kvt",
                     "a folder with a name long enough to be cut/voices/tone.kvw") {
    use_disk_card(dir / "card.raw", 20);
  }

  std::vector<std::string> args(const std::string& what) const {
    return {"play", what, "--keyboard", "--voices", voices, "--rate", "22050"};
  }

  // Plays the held keys on a terminal `columns` wide and stops with Ctrl-C
  // once the picture was drawn a few times and shows both held keys.
  CommandRun interrupted_when_held(int columns, int first_key) const {
    RunOptions options;
    options.terminal_columns = columns;
    options.signal = SignalPlan{SIGINT, [=](const std::string&, const std::string& shown) {
                                  const TerminalScreen screen(columns, shown);
                                  const int top = screen.find_line("File  : ");
                                  return top >= 0 && redrawn(shown) &&
                                         screen.reversed(top + 3) == std::vector<int>{kKeysAt + kBassKey - first_key} &&
                                         screen.reversed(top + 4) == std::vector<int>{kKeysAt + kPianoKey - first_key};
                                }};
    return run_kvt(args(song), options);
  }

  // One picture on the screen, drawn in place however often it was drawn,
  // with the held keys in reverse video; the command left the cursor shown
  // below it and no attribute on.
  void expect_picture(const CommandRun& run, int columns, const std::vector<std::string>& expected,
                      int first_key) const {
    const TerminalScreen screen(columns, run.err);
    const std::vector<std::string> lines = screen.lines();
    const int top = screen.find_line("File  : ");
    ASSERT_GE(top, 0) << run.err;
    EXPECT_TRUE(redrawn(run.err));
    const auto headers =
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("File  : ", 0) == 0; });
    EXPECT_EQ(headers, 1);
    ASSERT_GE(lines.size(), static_cast<std::size_t>(top + kPictureLines));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + top, lines.begin() + top + kPictureLines), expected);
    EXPECT_EQ(screen.reversed(top + 3), std::vector<int>{kKeysAt + kBassKey - first_key});
    EXPECT_EQ(screen.reversed(top + 4), std::vector<int>{kKeysAt + kPianoKey - first_key});
    // Row 2's key goes on and off; the rows below it stay dark.
    const std::vector<int> flicker = screen.reversed(top + 5);
    EXPECT_TRUE(flicker.empty() || flicker == std::vector<int>{kKeysAt + kFlickerKey - first_key});
    for (int line = top + 6; line < top + kPictureLines; ++line) EXPECT_EQ(screen.reversed(line), std::vector<int>{});
    // Below the picture only the status line, and the cursor below that.
    EXPECT_LE(lines.size(), static_cast<std::size_t>(top + kPictureLines + 1));
    EXPECT_GE(screen.cursor_line(), top + kPictureLines);
    EXPECT_TRUE(screen.cursor_shown());
    EXPECT_TRUE(screen.attributes_plain());
  }

  std::string voices = dir / "a folder with a name long enough to be cut/voices";
};

TEST_F(PlayKeyboard, HeldKeysShowInTheirRowsBelowTheHeader) {
  const CommandRun run = interrupted_when_held(120, 0);
  EXPECT_EQ(run.status, 130);
  expect_picture(run, 120, expected_picture("File  : " + song, 0, 96), 0);
}

TEST_F(PlayKeyboard, ANarrowTerminalShowsWholeOctavesAroundTheKeysInUse) {
  // 59 of the 60 columns (the last stays free): the name's 15 and three
  // octaves. The keys in use, 49 to 55, sit in the middle one: 36 to 71.
  const CommandRun run = interrupted_when_held(60, 36);
  EXPECT_EQ(run.status, 130);
  const std::string file_line = ("File  : " + song).substr(0, 59);
  expect_picture(run, 60, expected_picture(file_line, 36, 36), 36);
}

TEST_F(PlayKeyboard, AtTheSongsEndTheTerminalIsLeftBelowThePicture) {
  const std::string short_song = dir.write("Short.kvt", tone_song(held_keys(24)).song);
  RunOptions options;
  options.terminal_columns = 120;
  const CommandRun run = run_kvt(args(short_song), options);
  EXPECT_EQ(run.status, 0) << run.err;
  const TerminalScreen screen(120, run.err);
  const std::vector<std::string> lines = screen.lines();
  const int top = screen.find_line("File  : ");
  ASSERT_GE(top, 0) << run.err;
  ASSERT_GE(lines.size(), static_cast<std::size_t>(top + kPictureLines));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + top, lines.begin() + top + kPictureLines),
            expected_picture("File  : " + short_song, 0, 96));
  EXPECT_GE(screen.cursor_line(), top + kPictureLines);
  EXPECT_TRUE(screen.cursor_shown());
  EXPECT_TRUE(screen.attributes_plain());
}

TEST_F(PlayKeyboard, WithoutATerminalNothingOfItIsPrinted) {
  use_disk_card(dir / "card.raw", 1);
  const std::string short_song = dir.write("Short.kvt", tone_song(held_keys(24)).song);
  std::vector<std::string> plain = args(short_song);
  plain.erase(std::find(plain.begin(), plain.end(), "--keyboard"));
  const CommandRun without = run_kvt(plain);
  const CommandRun with = run_kvt(args(short_song));
  ASSERT_EQ(with.status, 0) << with.err;
  EXPECT_EQ(with.out, "Title : None\n");
  EXPECT_EQ(with.err, without.err);  // only what the disk card says of itself
}

TEST_F(PlayKeyboard, OnlyPlayingTakesIt) {
  const CommandRun run = run_kvt({"wav", song, "--keyboard", "-o", dir / "out.wav"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("kvt wav: unknown option --keyboard"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace kvt::test
