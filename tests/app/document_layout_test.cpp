// What the document viewer shows: the status line or the played path,
// the title, the text broken into lines, all as UTF-8; and how far it
// scrolls for a client area.
#include "document_layout.h"

#include <gtest/gtest.h>

namespace kvt::test {
namespace {

using app::document_lines;
using app::PlayFlag;
using namespace std::string_literals;

TEST(DocumentLines, TheStatusLineNamesThePlayedFileOnlyWhileSomethingPlays) {
  app::AppState state;
  state.status = "Converting : /songs/a.mid";
  state.chosen = "/songs/a.kvt";
  for (const PlayFlag flag :
       {PlayFlag::idle, PlayFlag::song, PlayFlag::converted_song, PlayFlag::wave, PlayFlag::rendering}) {
    state.play_flag = flag;
    const bool playing = flag != PlayFlag::idle && flag != PlayFlag::rendering;
    EXPECT_EQ(document_lines(state).status, playing ? "File  : /songs/a.kvt" : "Converting : /songs/a.mid");
  }
}

TEST(DocumentLines, TextsBecomeUtf8LinesBrokenAtLineFeeds) {
  app::AppState state;
  state.title = "Title : \x82\xa0\x82\xa2";                               // Shift-JIS
  state.text = "\x83\x65\x83\x58\x83\x67\r\ntwo\n\tthree\r\n\r\nfive\n";  // the last LF ends a line
  const auto lines = document_lines(state);
  EXPECT_EQ(lines.title, "Title : あい");
  EXPECT_EQ(lines.text, (std::vector<std::string>{"テスト", "two", "\tthree", "", "five"}));
  state.text = "";
  EXPECT_TRUE(document_lines(state).text.empty());
  state.text = "shown\nto here\0not shown\n"s;
  EXPECT_EQ(document_lines(state).text, (std::vector<std::string>{"shown", "to here"}));
}

TEST(DocumentScroll, RangesFollowTheClientArea) {
  struct Case {
    int width, height, columns, lines, line_page;
  };
  for (const Case c : {
           Case{640, 400, 1, 104, 25},                              // 129 - 25 lines
           Case{320, 200, 41, 117, 12}, Case{100, 10, 68, 129, 1},  // no whole line: pages of one
           Case{647, 31, 1, 128, 1},                                // -7 / 8 truncates to 0
           Case{648, 2064, 0, 0, 129},                              // 129 - 129
           Case{900, 3000, 0, 0, 187},                              // negative ranges become 0
       }) {
    const auto scroll = app::document_scroll(c.width, c.height);
    EXPECT_EQ(scroll.columns, c.columns) << c.width << " x " << c.height;
    EXPECT_EQ(scroll.lines, c.lines) << c.width << " x " << c.height;
    EXPECT_EQ(scroll.line_page, c.line_page) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace kvt::test
