#include "tables.h"

#include <algorithm>

namespace kvt::driver {
namespace {

constexpr int kRateFactors[kRateIndices] = {16, 12, 8, 6, 4, 3, 2, 1};

constexpr std::array<std::uint16_t, 256> make_volume_table(int shift) {
  std::array<std::uint16_t, 256> table{};
  std::uint64_t x = 65535ULL << 32;
  for (int k = 0; k < 256; ++k) {
    table[255 - k] = static_cast<std::uint16_t>((x >> 32) >> shift);
    x = (x >> 16) * 62758;
  }
  return table;
}

constexpr auto kVolumeWide = make_volume_table(1);
constexpr auto kVolumeNarrow = make_volume_table(8);

template <std::size_t N, std::size_t M>
constexpr void scale(std::array<std::uint32_t, N>& out, const std::array<std::uint32_t, M>& in,
                     std::size_t skip, std::uint64_t mul, std::uint64_t div) {
  for (std::size_t i = 0; i < N; ++i) out[i] = static_cast<std::uint32_t>(in[i + skip] * mul / div);
}

constexpr PitchTables make_pitch_tables() {
  PitchTables t{};
  // floor(2^23 * 2^(k/12)) for the top octave; every lower octave halves.
  constexpr std::uint32_t top[12] = {8388608,  8887420,  9415894,  9975792,  10568983, 11197448,
                                     11863283, 12568710, 13316085, 14107900, 14946800, 15835583};
  for (int k = 0; k < 12; ++k) t.tab_base[156 + k] = top[k];
  for (int k = 155; k >= 0; --k) t.tab_base[k] = t.tab_base[k + 12] / 2;
  scale(t.tab_3_4, t.tab_base, 12, 3, 4);
  scale(t.tab_4_3, t.tab_base, 0, 4, 3);
  scale(t.tab_31250, t.tab_base, 24, 31250, 44100);
  scale(t.tab_31250_4_3, t.tab_31250, 0, 4, 3);
  scale(t.tab_23810, t.tab_base, 36, 23810, 44100);
  scale(t.tab_23810_4_3, t.tab_23810, 0, 4, 3);
  return t;
}

constexpr PitchTables kPitch = make_pitch_tables();

struct TableRef {
  const std::uint32_t* entries;
  int size;
  int start;
};

template <std::size_t N>
constexpr TableRef ref(const std::array<std::uint32_t, N>& a, int start) {
  return {a.data(), static_cast<int>(N), start};
}

// Where key index 0 of a rate class lies for the even and the odd output
// rates; each further pair of rates is one octave (12 entries) higher.
TableRef table_start(int rate_class, int rate_index) {
  const bool odd = (rate_index & 1) != 0;
  const int octave_up = 12 * (rate_index / 2);
  TableRef r{};
  int octave_down = 0;
  switch (rate_class) {
    case 8: r = odd ? ref(kPitch.tab_31250_4_3, 0) : ref(kPitch.tab_31250, 0); break;
    case 9: r = odd ? ref(kPitch.tab_23810_4_3, 0) : ref(kPitch.tab_23810, 0); break;
    case 10: r = odd ? ref(kPitch.tab_31250_4_3, 12) : ref(kPitch.tab_31250, 12); break;
    default:
      // Even classes 0, 2, 4, 6 are 44100 Hz moved down by octaves; odd
      // classes 1, 3, 5, 7 likewise 33075 Hz.
      if (rate_class % 2 == 0) {
        r = odd ? ref(kPitch.tab_4_3, 36) : ref(kPitch.tab_base, 36);
      } else {
        r = odd ? ref(kPitch.tab_base, 36) : ref(kPitch.tab_3_4, 24);
      }
      octave_down = 12 * (rate_class / 2);
      break;
  }
  r.start += octave_up - octave_down;
  return r;
}

constexpr int isqrt(std::uint64_t v) {
  std::uint64_t r = 0;
  while ((r + 1) * (r + 1) <= v) ++r;
  return static_cast<int>(r);
}

// floor(256 * sqrt(a / 63)) without floating point: the largest n with
// 63 n^2 <= 65536 a.
constexpr std::uint16_t pan_law(int a) { return static_cast<std::uint16_t>(isqrt(65536ULL * a / 63)); }

constexpr std::array<PanGains, 2 * kPanLimit + 1> make_pan_table() {
  std::array<PanGains, 2 * kPanLimit + 1> t{};
  for (int i = 0; i <= 2 * kPanLimit; ++i) t[i] = {pan_law(126 - i), pan_law(i)};
  return t;
}

constexpr auto kPanTable = make_pan_table();

}  // namespace

int rate_factor(int rate_index) { return kRateFactors[rate_index & (kRateIndices - 1)]; }

const std::array<std::uint16_t, 256>& volume_table(bool wide) { return wide ? kVolumeWide : kVolumeNarrow; }

const PitchTables& pitch_tables() { return kPitch; }

std::uint32_t pitch_entry(int rate_class, int rate_index, int index) {
  const TableRef t = table_start(rate_class, rate_index);
  int p = t.start + index;
  while (p < 0) p += 12;
  while (p >= t.size) p -= 12;
  return t.entries[p];
}

PanGains pan_gains(int pan) { return kPanTable[std::clamp(pan, -kPanLimit, kPanLimit) + kPanLimit]; }

}  // namespace kvt::driver
