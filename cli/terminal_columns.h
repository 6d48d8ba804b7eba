// How much of a text fits on a terminal line: East Asian wide and
// fullwidth characters take two columns, combining marks none.
#pragma once

#include <string>
#include <string_view>

namespace kvt::cli {

// The longest start of UTF-8 `text` that fills at most `columns` columns,
// never cut inside a character. A byte that is no UTF-8 counts as one column.
std::string_view fit_columns(std::string_view text, int columns);

// `text` cut as fit_columns does and filled up with blanks to exactly
// `columns` columns, so that what follows it lines up.
std::string pad_columns(std::string_view text, int columns);

}  // namespace kvt::cli
