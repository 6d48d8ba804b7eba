#include "time_text.h"

#include <cctype>
#include <vector>

namespace kvt::cli {
namespace {

// The digits of `field` as a number; nothing when it holds anything else or is too long.
std::optional<unsigned long> whole_number(const std::string& field) {
  if (field.empty() || field.size() > 9) return std::nullopt;
  unsigned long value = 0;
  for (const char c : field) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return value;
}

std::vector<std::string> fields_of(const std::string& text) {
  std::vector<std::string> fields(1);
  for (const char c : text) {
    if (c == ':') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

std::optional<unsigned long> parse_time_ms(const std::string& text, unsigned long limit_ms) {
  std::vector<std::string> fields = fields_of(text);
  if (fields.size() > 3) return std::nullopt;
  // Only the seconds may have a fraction: up to three digits after the point.
  std::string& seconds = fields.back();
  unsigned long ms = 0;
  if (const std::size_t point = seconds.find('.'); point != std::string::npos) {
    std::string fraction = seconds.substr(point + 1);
    seconds.resize(point);
    if (fraction.empty() || fraction.size() > 3) return std::nullopt;
    fraction.resize(3, '0');
    const auto thousandths = whole_number(fraction);
    if (!thousandths) return std::nullopt;
    ms = *thousandths;
  }
  unsigned long total_seconds = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto value = whole_number(fields[i]);
    // After the first field, minutes and seconds stay below 60.
    if (!value || (i > 0 && *value >= 60)) return std::nullopt;
    total_seconds = total_seconds * 60 + *value;
  }
  if (total_seconds > limit_ms / 1000) return std::nullopt;
  ms += total_seconds * 1000;
  if (ms > limit_ms) return std::nullopt;
  return ms;
}

}  // namespace kvt::cli
