// A time into a song as users write it: seconds ("95", "95.5") or minutes
// and seconds ("1:35", "1:35.5"), or hours too ("1:02:03").
#pragma once

#include <optional>
#include <string>

namespace kvt::cli {

// Milliseconds, or nothing when `text` is no such time or beyond `limit_ms`.
std::optional<unsigned long> parse_time_ms(const std::string& text, unsigned long limit_ms);

}  // namespace kvt::cli
