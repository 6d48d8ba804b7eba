// Regression guard: a song that uses most commands, rendered with every
// combination of output rate, channels, effect level and render path,
// must keep producing the same bytes. The digests were taken from the
// renderer once every behaviour test passed; after an intended change of
// output, run with KVT_PRINT_GOLDEN=1 to print the new table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "song_builder.h"

namespace kvt::test {
namespace {

Bytes golden_song() {
  const Bytes lead = {0x7C, 120, 90, 60, 0, 0, 0x7D, 0, 0, 100, 50, 25, 0, 24, 12, 3, 2, 0x7D, 0, 1, 70, 0, 40, 0,
                      0, 0, 0, 1, 0xE6, 0, 0, 0, 0x6D, 250, 0x70, 0xE0, 0x7B, 1, 0x76, 6, 0, 2, 2, 12, 0,
                      0x79, 0x60, 2, 36, 12, 0x74, 38, 12, 0x62, 40, 24, 0x61, 0xE1, 24, 43, 24, 0x75, 12, 0xFF};
  const Bytes bass = {0x73, 1, 0x6D, 245, 0x70, 0x20, 0xE7, 2, 8, 6, 0x00, 0xFF, 0, 0x7F, 1, 0x63, 24, 24, 31, 24,
                      0x64, 0xE0, 8, 0, 0x00, 0x40, 0x00, 0x00, 0x65, 0x78, 0, 2, 60, 0x80, 0xEB, 5, 0xFB, 0x10,
                      0xE2, 1, 26, 48, 0xFF};
  const Bytes pad = {0xEA, 2, 0x6D, 235, 0x7B, 1, 0x72, 2, 3, 0x78, 18, 0x6C, 110, 0xE9, 0x00, 0x90, 0x71, 20, 0,
                     0x6A, 20, 0xB0, 0xB4, 0xF5, 0x67, 0x05, 0xB0, 0x7E, 0x30, 0x00, 0xAB, 0xFF};
  return make_song({48, 24, false, {lead, bass, pad}});
}

std::map<int, Bytes> golden_voices() {
  VoiceParams tone;
  for (int i = 0; i < 2000; ++i) tone.samples.push_back((i * 37 % 400 - 200) * 60);
  tone.loop_start = 1500;
  tone.loop_fraction = 77;
  tone.sets[0] = {40, 80, 60, 8, 30, 10, 20, 70};
  VoiceParams pluck;
  pluck.wide = false;
  for (int i = 0; i < 900; ++i) pluck.samples.push_back(128 + (i % 50 < 25 ? 90 : -90) * (900 - i) / 900);
  pluck.rate_class = 4;
  pluck.one_shot = true;
  pluck.sets[0] = {127, 0, 70, 20, 40, 20, 30, 80};
  VoiceParams soft;
  for (int i = 0; i < 3000; ++i) soft.samples.push_back((i % 120) * 200 - 12000);
  soft.loop_start = 0;
  soft.rate_class = 9;
  soft.key_offset = 5;
  soft.tuning = 0x8123;
  soft.sets[2] = {10, 60, 40, 0xF8, 20, 5, 10, 60};
  soft.set_levels[4] = 120;
  soft.set_levels[5] = 1;
  return {{0, make_voice(tone)}, {1, make_voice(pluck)}, {2, make_voice(soft)}};
}

std::uint64_t fnv1a(const std::vector<std::int16_t>& samples) {
  std::uint64_t h = 14695981039346656037ULL;
  for (std::int16_t s : samples) {
    for (int b = 0; b < 2; ++b) {
      h ^= static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> (8 * b));
      h *= 1099511628211ULL;
    }
  }
  return h;
}

// Index: rate * 12 + (channel - 1) * 6 + effect * 2 + (cpu_code == 1).
constexpr std::uint64_t kDigests[60] = {
#include "golden_digests.inc"
};

// Every version of the render loops this processor runs must give the
// same bytes.
TEST(Golden, EveryOutputSettingRendersTheSameBytes) {
  const Bytes song = golden_song();
  const bool print = std::getenv("KVT_PRINT_GOLDEN") != nullptr;
  for (const driver::Isa isa : driver::kIsas) {
    if (!driver::isa_available(isa) || (print && isa != driver::Isa::scalar)) continue;
    for (int rate = 0; rate < 5; ++rate) {
      for (int channel = 1; channel <= 2; ++channel) {
        for (int effect = 0; effect <= 2; ++effect) {
          for (int cpu = 0; cpu <= 1; ++cpu) {
            Harness h(song, golden_voices(), {rate, channel, effect, cpu});
            h.ctx().isa = isa;
            const auto out = h.render(12);
            int peak = 0;
            for (std::int16_t v : out) peak = std::max(peak, std::abs(int{v}));
            EXPECT_GT(peak, 500) << "a silent rendering guards nothing";
            const std::uint64_t digest = fnv1a(out);
            const int index = rate * 12 + (channel - 1) * 6 + effect * 2 + cpu;
            if (print) std::printf("    0x%016llxULL,\n", static_cast<unsigned long long>(digest));
            else EXPECT_EQ(digest, kDigests[index]) << driver::isa_name(isa) << " rate " << rate << " channel "
                                                    << channel << " effect " << effect << " cpu_code " << cpu;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace kvt::test
