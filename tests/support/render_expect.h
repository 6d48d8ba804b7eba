// Expected values for rendered output, and a comparison that says where the
// first difference is.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tables.h"

namespace kvt::test {

// Output gain of a part at envelope level `level` and effective volume
// `volume`, with part gain 0x8000 and a centred pan.
inline int part_gain(int volume, bool wide = true, int level = 254, int pan_gain = 256) {
  const int index = (level * 256 * volume) >> 16;
  const int v = driver::volume_table(wide)[index];
  return (((v * 0x8000) >> 16) * pan_gain) >> 8;
}

// A 16-bit sample through the 32-bit path at a whole position.
inline std::int16_t scaled(std::int32_t sample, int gain) {
  return static_cast<std::int16_t>((std::int64_t{sample} * 65536 * gain) >> 32);
}

// The 32-bit path's value for a 16.16 interpolated sample v.
inline std::int16_t scaled_fixed(std::int64_t v, int gain) { return static_cast<std::int16_t>((v * gain) >> 32); }

inline ::testing::AssertionResult samples_equal(const std::vector<std::int16_t>& expected,
                                                const std::vector<std::int16_t>& actual, std::size_t from = 0) {
  if (actual.size() < expected.size() + from)
    return ::testing::AssertionFailure() << "only " << actual.size() << " samples rendered";
  std::size_t first = expected.size();
  int worst = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const int delta = std::abs(expected[i] - actual[from + i]);
    if (delta != 0 && first == expected.size()) first = i;
    if (delta > worst) worst = delta;
  }
  if (first == expected.size()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "first difference at sample " << from + first << ": expected "
                                       << expected[first] << ", got " << actual[from + first]
                                       << "; largest difference " << worst;
}

}  // namespace kvt::test
