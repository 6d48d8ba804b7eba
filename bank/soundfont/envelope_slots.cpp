#include "envelope_slots.h"

namespace kvt::soundfont {
namespace {

bool same(const bank::EnvelopeShape& a, const bank::EnvelopeShape& b) {
  return a.main == b.main && a.decay_shift == b.decay_shift;
}

}  // namespace

int EnvelopeSlots::place(const std::vector<Use>& uses) {
  for (const Use& u : uses)
    if (u.first >= static_cast<int>(slots_.size())) slots_.resize(u.first + 1);
  int best = 0, best_fit = -1;
  for (int set = 0; set < 4; ++set) {
    int fit = 0;
    for (const Use& u : uses) {
      const auto& slot = slots_[u.first][set];
      fit += !slot || same(*slot, u.second) ? 1 : 0;
    }
    if (fit > best_fit) best = set, best_fit = fit;
  }
  for (const Use& u : uses) {
    auto& slot = slots_[u.first][best];
    if (!slot) slot = u.second;
  }
  return best + 1;
}

std::array<bank::EnvelopeShape, 4> EnvelopeSlots::sets_of(int voice) const {
  std::array<bank::EnvelopeShape, 4> sets{};
  if (voice >= static_cast<int>(slots_.size())) return sets;
  const auto& slots = slots_[voice];
  std::optional<bank::EnvelopeShape> first;
  for (const auto& s : slots)
    if (s && !first) first = s;
  for (int i = 0; i < 4; ++i) sets[i] = slots[i] ? *slots[i] : first.value_or(bank::EnvelopeShape{});
  return sets;
}

}  // namespace kvt::soundfont
