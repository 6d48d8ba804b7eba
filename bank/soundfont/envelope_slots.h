// The four envelope sets of each voice, shared out among the programs and
// drum keys that use the voice: a program layer names one set number for
// all the voices of its splits.
#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "voice_file.h"

namespace kvt::soundfont {

class EnvelopeSlots {
 public:
  using Use = std::pair<int, bank::EnvelopeShape>;  // voice, shape wanted

  // The set (1..4) free or already equal for every use, else the one that
  // suits most of them (the others keep the shape they have).
  int place(const std::vector<Use>& uses);
  // The voice's four sets; a set nobody asked for repeats the first.
  std::array<bank::EnvelopeShape, 4> sets_of(int voice) const;

 private:
  std::vector<std::array<std::optional<bank::EnvelopeShape>, 4>> slots_;
};

}  // namespace kvt::soundfont
