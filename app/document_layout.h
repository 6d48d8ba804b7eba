// What the document viewer shows and how far it scrolls, apart from any
// drawing: its three blocks as UTF-8 lines, where they start and the
// scroll ranges for a client area.
#pragma once

#include <string>
#include <vector>

#include "app_state.h"

namespace kvt::app {

// The surface the viewer scrolls over: 640 pixels by 130 lines.
inline constexpr int kDocumentWidth = 640;
inline constexpr int kDocumentLines = 130;
inline constexpr int kColumnPage = 8;  // columns of a horizontal page

// Pixel origins of the blocks at scroll position (0, 0): the top-left of
// their first character cell.
inline constexpr int kBlockLeft = 4;
inline constexpr int kStatusTop = 4;
inline constexpr int kTitleTop = 22;
inline constexpr int kTextTop = 40;

struct DocumentLines {
  std::string status;
  std::string title;
  std::vector<std::string> text;  // one entry a line, tabs still in it
};

// The status line gives way to "File  : " and the played path while
// something plays; the text ends at its first NUL and breaks at LF and
// CR LF.
DocumentLines document_lines(const AppState& state);

struct DocumentScroll {
  int columns;    // horizontal positions 0..columns
  int lines;      // vertical positions 0..lines
  int line_page;  // lines a vertical page moves
};

DocumentScroll document_scroll(int client_width, int client_height);

}  // namespace kvt::app
