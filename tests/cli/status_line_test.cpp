// The status line of `kvt wav` and `kvt play`: on a terminal it is redrawn
// in place and cut to the terminal's width; into a file or pipe none of it goes.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <csignal>
#include <string_view>

#include "host_fixture.h"
#include "run_kvt.h"

namespace kvt::test {
namespace {

const std::vector<Bytes> kParts = {{0x73, 0, 0x6D, 245, 36, 24, 0xFF}};

constexpr char kRedraw = '\r';
constexpr std::string_view kClearToEnd = "\033[K";
constexpr std::size_t kBarBytes = 15;  // "[   ###      ] "

// What was drawn, one redraw at a time: each starts at the line's start and
// clears what an earlier, longer one left.
std::vector<std::string> redraws(const std::string& shown) {
  std::vector<std::string> lines;
  for (std::size_t at = shown.find(kRedraw); at != std::string::npos;) {
    const std::size_t next = shown.find(kRedraw, at + 1);
    lines.push_back(shown.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
    at = next;
  }
  return lines;
}

class StatusLineTest : public ToneSongTest {
 protected:
  // The dummy card plays in real time and, unlike the disk card, says nothing on stderr.
  StatusLineTest() : ToneSongTest(kParts, "あいうえおかきくけこ.kvt", "voices/tone.kvw") {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
};

TEST_F(StatusLineTest, OnATerminalItIsCutToTheWidthCountingWideCharactersTwice) {
  RunOptions options;
  options.terminal_columns = 25;
  options.signal = SignalPlan{SIGINT, [](const std::string&, const std::string& shown) { return redraws(shown).size() >= 2; }};
  const CommandRun run = run_kvt({"play", "--repeat", song, "--voices", dir / "voices"}, options);
  EXPECT_EQ(run.status, 128 + SIGINT);
  ASSERT_EQ(run.err.substr(0, 1), "\r") << run.err;
  const std::vector<std::string> lines = redraws(run.err);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(run.err.back(), '\n') << "the status line ends when the command does";
  for (std::string line : lines) {
    if (line.back() == '\n') line.pop_back();  // a song ended, the next starts on a line of its own
    ASSERT_GT(line.size(), kBarBytes + kClearToEnd.size()) << line;
    EXPECT_EQ(line.substr(line.size() - kClearToEnd.size()), kClearToEnd);
    // 24 of the 25 columns (the last stays free): the bar's 15 and four of
    // the name's wide characters; a fifth would need two more.
    EXPECT_EQ(line.substr(kBarBytes, line.size() - kBarBytes - kClearToEnd.size()), "あいうえ") << line;
  }
}

TEST_F(StatusLineTest, NothingOfItGoesIntoAFile) {
  const CommandRun wav = run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "out.wav"});
  EXPECT_EQ(wav.status, 0);
  EXPECT_EQ(wav.err, "");
  const CommandRun play = run_kvt({"play", song, "--voices", dir / "voices"});
  EXPECT_EQ(play.status, 0);
  EXPECT_EQ(play.err, "");
}

TEST_F(StatusLineTest, ThePlayersLastWordFollowsTheLocale) {
  for (const auto& [locale, finished] : {std::pair<std::string, std::string>{"LC_ALL=C", "Finished."},
                                         {"LANG=ja_JP.UTF-8", "終了しました。"}}) {
    SCOPED_TRACE(locale);
    RunOptions options;
    options.terminal_columns = 200;
    options.locale = {locale};
    const CommandRun run = run_kvt({"wav", song, "--voices", dir / "voices", "-o", dir / "out.wav"}, options);
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = redraws(run.err);
    ASSERT_FALSE(lines.empty()) << run.err;
    EXPECT_NE(lines.back().find(finished), std::string::npos) << lines.back();
  }
}

}  // namespace
}  // namespace kvt::test
