#include "source_error.h"

#include <fstream>

#include "display_text.h"
#include "utf8_text.h"

namespace kvt::frontend {
namespace {

bool cp932_lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// Characters before `bytes` bytes of `line`, read as display_text reads it:
// UTF-8 when the whole line is, else CP932.
int characters_before(std::string_view line, std::size_t bytes) {
  const bool utf8 = is_utf8(line);
  int count = 0;
  for (std::size_t i = 0; i < bytes && i < line.size(); ++count) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (utf8) {
      i += first_utf8_character(line.substr(i))->length;
    } else {
      i += cp932_lead(byte) ? 2 : 1;
    }
  }
  return count + static_cast<int>(bytes > line.size() ? bytes - line.size() : 0);
}

std::optional<std::string> line_of(const std::string& file, int number) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  for (int n = 0; n < number; ++n) {
    if (!std::getline(in, line)) return std::nullopt;
  }
  return line;
}

std::string trimmed(std::string text) {
  const auto space = [](char c) { return c == ' ' || c == '\n' || c == '\r'; };
  while (!text.empty() && space(text.back())) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && space(text[start])) ++start;
  return text.substr(start);
}

}  // namespace

std::optional<SourceError> source_error_of(const std::string& file, const kvtc_error_place& place) {
  if (place.line <= 0 || place.column <= 0 || place.message == nullptr) return std::nullopt;
  const auto bytes = static_cast<std::size_t>(place.column - 1);
  const std::optional<std::string> line = line_of(file, place.line);
  const int column = (line ? characters_before(*line, bytes) : static_cast<int>(bytes)) + 1;
  return SourceError{file, place.line, column, trimmed(to_utf8(place.message))};
}

}  // namespace kvt::frontend
