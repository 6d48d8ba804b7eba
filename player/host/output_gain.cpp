#include "output_gain.h"

#include <algorithm>

namespace kvt::host {
namespace {

// 2^(step / 6) in 16.16 fixed point, for the steps within one doubling.
constexpr std::int64_t kStepFactors[6] = {65536, 73562, 82570, 92682, 104032, 116772};

}  // namespace

int clamp_gain_db(int db) { return std::clamp(db, kMinGainDb, kMaxGainDb); }

void apply_gain(std::int16_t* samples, std::size_t count, int db) {
  db = clamp_gain_db(db);
  if (db == 0) return;
  const int doublings = db >= 0 ? db / 6 : -((5 - db) / 6);  // rounded down
  const std::int64_t factor = kStepFactors[db - doublings * 6];
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t scaled = static_cast<std::int64_t>(samples[i]) * factor;
    const std::int64_t value = doublings >= 0 ? (scaled << doublings) >> 16 : scaled >> (16 - doublings);
    samples[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
  }
}

}  // namespace kvt::host
