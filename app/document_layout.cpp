#include "document_layout.h"

#include <algorithm>
#include <string_view>

#include "app_fonts.h"
#include "display_text.h"

namespace kvt::app {

namespace {

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace

DocumentLines document_lines(const AppState& state) {
  const std::string status = state.playing() ? "File  : " + state.chosen : state.status;
  // The buffer is a C string: a document with NUL bytes shows up to the first.
  const std::string_view text = std::string_view(state.text).substr(0, state.text.find('\0'));
  return {frontend::to_utf8(status), frontend::to_utf8(state.title), split_lines(frontend::to_utf8(text))};
}

DocumentScroll document_scroll(int client_width, int client_height) {
  const int whole_lines = client_height / kCellHeight;
  // Integer division truncating towards zero, as the range always was.
  const int columns = (kDocumentWidth - client_width) / kCellWidth + 1;
  return {std::max(columns, 0), std::max(kDocumentLines - 1 - whole_lines, 0), std::max(whole_lines, 1)};
}

}  // namespace kvt::app
