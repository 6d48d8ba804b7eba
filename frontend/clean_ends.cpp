#include "clean_ends.h"

namespace kvt::frontend {

kvt_output_options clean_ends(int loop) {
  kvt_output_options o{};
  o.size = sizeof o;
  o.clean_end = 1;
  o.loop = loop;
  return o;
}

}  // namespace kvt::frontend
