// A compiler error's place, as the compiler gives it (line, byte in the
// line), made into what an editor reads: the column counts characters.
#pragma once

#include <optional>
#include <string>

#include "kvt/kvtc.h"
#include "messages.h"

namespace kvt::frontend {

// Nothing when the error marks no place. `file` is read again for the
// marked line; if it cannot be, the column counts bytes.
std::optional<SourceError> source_error_of(const std::string& file, const kvtc_error_place& place);

}  // namespace kvt::frontend
