#include "progress_text.h"

#include <algorithm>
#include <string_view>

#include "display_text.h"
#include "library_texts.h"

namespace kvt::cli {

std::string progress_line(const char* field_text) {
  const std::string field = frontend::to_utf8(field_text);
  std::string line;
  for (std::size_t start = 0; start <= field.size();) {
    const std::size_t end = std::min(field.find_first_of("\r\n", start), field.size());
    if (!line.empty()) line += ' ';
    line += frontend::texts_for_locale().text(std::string_view(field).substr(start, end - start));
    start = end + 1;
  }
  return line;
}

}  // namespace kvt::cli
