// Fixed tables of the driver: rate factors, the exponential volume table,
// the pitch step tables and the pan law. All are constant; they are computed
// once at compile time so that rendering never touches a transcendental
// function.
#pragma once

#include <array>
#include <cstdint>

namespace kvt::driver {

inline constexpr int kRateIndices = 8;  // 0..4 are offered to the user

// Output samples per time unit of 1/2756.25 s, by output rate index.
int rate_factor(int rate_index);

// 256 levels, about 0.376 dB apart. The wide form (15 bits) serves the
// 32-bit render path, the narrow form (8 bits) the 16-bit path.
const std::array<std::uint16_t, 256>& volume_table(bool wide);

struct PitchTables {
  std::array<std::uint32_t, 168> tab_base;
  std::array<std::uint32_t, 144> tab_3_4;
  std::array<std::uint32_t, 144> tab_4_3;
  std::array<std::uint32_t, 144> tab_31250;
  std::array<std::uint32_t, 132> tab_31250_4_3;
  std::array<std::uint32_t, 132> tab_23810;
  std::array<std::uint32_t, 120> tab_23810_4_3;
};
const PitchTables& pitch_tables();

// 16.16 sample step before tuning for key index `index` of a voice of
// `rate_class` played at output rate `rate_index`. An index that would fall
// outside its table is moved by whole octaves back inside it.
std::uint32_t pitch_entry(int rate_class, int rate_index, int index);

struct PanGains {
  std::uint16_t left;
  std::uint16_t right;
};
inline constexpr int kPanLimit = 63;
// Gains for pan -63 (left) .. +63 (right); values outside are clamped.
PanGains pan_gains(int pan);

}  // namespace kvt::driver
