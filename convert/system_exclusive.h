// System-exclusive messages: master volume, and the GS data sets for part,
// system and drum set-up parameters, single or as bulk dumps.
#pragma once

#include "converter_context.h"

namespace kvt::convert {

// Called with the input after F0.
void system_exclusive_event(Converter& c);

}  // namespace kvt::convert
