#include "output_options.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace kvt::host {

OutputOptions read_output_options(const kvt_output_options* options) {
  kvt_output_options given{};
  if (options != nullptr) {
    // A caller built against an older header passes a shorter struct.
    std::memcpy(&given, options, std::min(options->size, sizeof given));
  }
  OutputOptions o;
  o.clean_end = given.clean_end != 0;
  o.loop = given.loop > 0 ? given.loop : 0;
  o.start_ms = given.start_ms;
  return o;
}

}  // namespace kvt::host
