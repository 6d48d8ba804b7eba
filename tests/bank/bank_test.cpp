// The default voice bank as the build made it: every voice file and every
// table of the configuration, read back with their byte layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kAssets = KVT_ASSET_DIR;

Bytes read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }
std::int16_t sample(const Bytes& b, std::size_t i) { return static_cast<std::int16_t>(u16(b, 0x100 + 2 * i)); }

constexpr double kRateOfClass[] = {44100, 33075, 22050, 16537.5, 11025, 8268.75, 5512.5, 4134.375, 15625, 23810, 31250};

struct Voice {
  std::string name;
  Bytes bytes;
  std::uint32_t length() const { return u16(bytes, 0x06) | (u16(bytes, 0x40) << 16); }
  std::uint32_t loop() const { return u16(bytes, 0x08) | (u16(bytes, 0x42) << 16); }
  bool one_shot() const { return bytes[0x0E] == 1; }
  // The pitch that key index 36 plays, in Hz.
  double played_pitch(double recorded) const { return recorded * u16(bytes, 0x30) / 32768.0; }
};

std::vector<Voice> voices() {
  std::vector<Voice> list;
  for (const auto& e : fs::directory_iterator(kAssets / "Pcm97")) {
    list.push_back({e.path().stem().string(), read(e.path())});
  }
  return list;
}

// The fundamental of the loop: the autocorrelation peak nearest to the
// period `expected` (in samples), refined between samples by a parabola.
double loop_fundamental(const Voice& v, double expected) {
  const std::uint32_t start = v.loop(), length = v.length() - v.loop();
  auto correlation = [&](int lag) {
    double sum = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
      sum += static_cast<double>(sample(v.bytes, start + i)) * sample(v.bytes, start + (i + lag) % length);
    }
    return sum;
  };
  int best = 0;
  double best_value = -1e300;
  for (int lag = static_cast<int>(expected * 0.8); lag <= static_cast<int>(expected * 1.25) + 1; ++lag) {
    if (const double c = correlation(lag); c > best_value) best_value = c, best = lag;
  }
  const double before = correlation(best - 1), after = correlation(best + 1);
  const double shift = 0.5 * (before - after) / (before - 2 * best_value + after);
  return kRateOfClass[v.bytes[0x0B]] / (best + shift);
}

TEST(BankVoices, HeadersAreValidAndSizesMatch) {
  const std::vector<Voice> list = voices();
  ASSERT_GE(list.size(), 40u);
  for (const Voice& v : list) {
    SCOPED_TRACE(v.name);
    EXPECT_LE(v.name.size(), 8u);
    ASSERT_GE(v.bytes.size(), 0x100u);
    EXPECT_EQ(std::string(v.bytes.begin(), v.bytes.begin() + 4), "FSPW");
    EXPECT_GE(v.length(), 1u);
    EXPECT_LT(v.loop(), v.length());
    EXPECT_EQ(v.bytes.size(), 0x100 + 2 * v.length());
    EXPECT_LE(v.bytes[0x0B], 10);
    EXPECT_LT(u16(v.bytes, 0x30), 0xFFFFu);
    EXPECT_LE(v.bytes[0x0E], 1);
    for (int set = 0; set < 4; ++set) EXPECT_LE(v.bytes[0x10 + 8 * set], 127);
    // Normalised alike, so that the configuration's levels balance them.
    int peak = 0;
    for (std::uint32_t i = 0; i < v.length(); ++i) peak = std::max(peak, std::abs(int{sample(v.bytes, i)}));
    EXPECT_GT(peak, 20000);
  }
}

TEST(BankVoices, SustainedVoicesLoopSeamlesslyAtTheirNominalC) {
  for (const Voice& v : voices()) {
    if (v.one_shot()) continue;
    SCOPED_TRACE(v.name);
    // Across the seam the step is no larger than the largest inside the loop.
    int inside = 0;
    for (std::uint32_t i = v.loop(); i + 1 < v.length(); ++i) {
      inside = std::max(inside, std::abs(sample(v.bytes, i + 1) - sample(v.bytes, i)));
    }
    EXPECT_LE(std::abs(sample(v.bytes, v.loop()) - sample(v.bytes, v.length() - 1)), inside);
    // "_l" voices are C3 at key index 36, "_h" voices C5; splits put them in place.
    const double nominal = v.name.back() == 'l' ? 130.8128 : 523.2511;
    const double expected_period = kRateOfClass[v.bytes[0x0B]] * u16(v.bytes, 0x30) / 32768.0 / nominal;
    EXPECT_NEAR(v.played_pitch(loop_fundamental(v, expected_period)), nominal, nominal * 0.01);
  }
}

TEST(BankVoices, DrumsAreOneShotsThatFadeOut) {
  int drums = 0;
  for (const Voice& v : voices()) {
    if (!v.one_shot()) continue;
    ++drums;
    SCOPED_TRACE(v.name);
    EXPECT_EQ(v.loop(), 0u);
    EXPECT_LE(std::abs(sample(v.bytes, v.length() - 1)), 64);
  }
  EXPECT_GE(drums, 12);
}

class BankConfig : public ::testing::Test {
 protected:
  BankConfig() : cfb(read(kAssets / "kvt.cfb")) {
    for (const auto& e : fs::directory_iterator(kAssets / "Pcm97")) files.insert(e.path().stem().string());
  }

  // Entry i of the table at `table`: the offset of its item, or 0 when undefined.
  std::size_t item(std::size_t table, std::size_t i) const {
    const std::uint32_t w = u16(cfb, table + 2 * i);
    if (w == 0xFFFF) return 0;
    EXPECT_LT(table + w, cfb.size());
    return table + w;
  }
  bool pcm_defined(std::uint32_t id) const { return id < u32(cfb, 0x14) && item(u32(cfb, 0x10), id) != 0; }

  Bytes cfb;
  std::set<std::string> files;
};

TEST_F(BankConfig, HeaderOffsetsAndCountsFit) {
  ASSERT_GE(cfb.size(), 0x28u);
  for (std::size_t field : {0x10, 0x18, 0x20, 0x24}) EXPECT_LT(u32(cfb, field), cfb.size());
  EXPECT_LE(u32(cfb, 0x14), 2048u);
  EXPECT_LE(u32(cfb, 0x1C), 512u);
  EXPECT_GE(u32(cfb, 0x1C), 128u);
}

TEST_F(BankConfig, EveryPcmVoiceNamesAVoiceFile) {
  const std::size_t table = u32(cfb, 0x10);
  std::set<std::string> named;
  for (std::uint32_t i = 0; i < u32(cfb, 0x14); ++i) {
    const std::size_t at = item(table, i);
    if (at == 0) continue;
    const auto end = std::find(cfb.begin() + at + 1, cfb.end(), 0);
    ASSERT_NE(end, cfb.end());
    const std::string name(cfb.begin() + at + 1, end);
    EXPECT_LE(name.size(), 8u);
    EXPECT_TRUE(files.count(name)) << name;
    EXPECT_TRUE(cfb[at] == 0xC0 || cfb[at] == 0xFF);
    named.insert(name);
  }
  EXPECT_EQ(named, files);
}

TEST_F(BankConfig, SplitListsCoverEveryKeyInOrder) {
  const std::size_t table = u32(cfb, 0x18);
  for (std::uint32_t i = 0; i < 128; ++i) {
    SCOPED_TRACE(i);
    std::size_t at = item(table, i);
    ASSERT_NE(at, 0u);
    int next_key = 0;
    while (next_key <= 127) {
      ASSERT_LE(at + 6, cfb.size());
      EXPECT_TRUE(pcm_defined(u16(cfb, at)));
      const auto transpose = static_cast<std::int8_t>(cfb[at + 3]);
      const auto low = static_cast<std::int8_t>(cfb[at + 4]), high = static_cast<std::int8_t>(cfb[at + 5]);
      EXPECT_EQ(low, next_key);
      ASSERT_GE(high, low);
      // Every key of the split lands where no octave folding is needed (or above).
      EXPECT_GE(low + transpose, next_key == 0 ? 0 : 12);
      next_key = high + 1;
      at += 6;
    }
  }
}

TEST_F(BankConfig, ProgramRowsEndAndPointAtDefinedSplits) {
  const std::size_t table = u32(cfb, 0x20);
  for (std::uint32_t p = 0; p < 128; ++p) {
    SCOPED_TRACE(p);
    std::size_t row = item(table, p);
    ASSERT_NE(row, 0u);
    const int layers = cfb[row + 1];
    ASSERT_TRUE(layers == 1 || layers == 2);
    for (int l = 0; l < layers; ++l) {
      const std::size_t layer = row + 2 + 7 * l;
      EXPECT_LT(u16(cfb, layer), u32(cfb, 0x1C));
      EXPECT_NE(item(u32(cfb, 0x18), u16(cfb, layer)), 0u);
      EXPECT_GE(cfb[layer + 2], 1);
      EXPECT_LE(cfb[layer + 2], 4);
      EXPECT_GT(cfb[layer + 3], 0);
    }
    int rows = 1;
    for (row += 16; row + 16 <= cfb.size() && cfb[row] != 0 && cfb[row] <= 127; row += 16) ++rows;
    EXPECT_LT(row + 16, cfb.size() + 1) << "list does not end";
    EXPECT_LE(rows, 128);
  }
}

TEST_F(BankConfig, DrumKitsMapEveryGeneralMidiKey) {
  const std::size_t table = u32(cfb, 0x24);
  for (std::uint32_t p = 0; p < 128; ++p) {
    SCOPED_TRACE(p);
    const std::size_t kit = item(table, p);
    ASSERT_NE(kit, 0u);
    ASSERT_LE(kit + 128 * 8, cfb.size());
    for (int key = 0; key < 128; ++key) {
      const std::size_t rec = kit + 8 * key;
      const std::uint32_t voice = u16(cfb, rec);
      if (key >= 35 && key <= 81) {
        EXPECT_NE(voice, 0xFFFFu) << "key " << key;
      }
      if (voice == 0xFFFF) continue;
      EXPECT_TRUE(pcm_defined(voice)) << "key " << key;
      EXPECT_GE(cfb[rec + 2], 1);
      EXPECT_LE(cfb[rec + 2], 4);
      EXPECT_LE(static_cast<std::int8_t>(cfb[rec + 3]), 95);
      EXPECT_GE(static_cast<std::int8_t>(cfb[rec + 3]), 0);
      EXPECT_LE(cfb[rec + 5], 127);
    }
  }
}

int run(const std::string& command) { return WEXITSTATUS(std::system(command.c_str())); }

TEST(Kvtbank, OutputIsTheSameOnEveryRunAndBadArgumentsAreUsageErrors) {
  const fs::path dir = fs::temp_directory_path() / ("kvtbank-test-" + std::to_string(getpid()));
  ASSERT_EQ(run(std::string(KVTBANK) + " " + dir.string()), 0);
  EXPECT_EQ(read(dir / "kvt.cfb"), read(kAssets / "kvt.cfb"));
  for (const auto& e : fs::directory_iterator(kAssets / "Pcm97")) {
    EXPECT_EQ(read(dir / "Pcm97" / e.path().filename()), read(e.path())) << e.path().filename();
  }
  fs::remove_all(dir);
  EXPECT_EQ(run(std::string(KVTBANK) + " 2>/dev/null"), 2);
  EXPECT_EQ(run(std::string(KVTBANK) + " a b 2>/dev/null"), 2);
  EXPECT_EQ(run(std::string(KVTBANK) + " --help >/dev/null"), 0);
}

}  // namespace
