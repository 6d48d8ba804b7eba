// A voice bank made from the small test SoundFont: the voices it gets,
// and the configuration as the MIDI converter reads it back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bank_folder.h"
#include "conversion_config.h"
#include "sf2_builder.h"
#include "sf2_file.h"
#include "soundfont_import.h"

namespace kvt::soundfont {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

ImportedBank import(const Bytes& sf2, ImportOptions options = {}) {
  return import_soundfont(read_sf2(sf2.data(), sf2.size()), options);
}

convert::ConversionConfig read_back(const bank::Config& config) {
  convert::ConversionConfig read;
  EXPECT_TRUE(read.load(bank::config_file_bytes(config)));
  return read;
}

std::vector<std::uint8_t> envelope_set(const bank::VoiceFile& v, int set) {
  const Bytes b = bank::voice_file_bytes(v);
  return Bytes(b.begin() + 0x10 + 8 * (set - 1), b.begin() + 0x18 + 8 * (set - 1));
}

struct SplitExpect {
  int voice, transpose, low, high;
};

void expect_splits(const convert::ConversionConfig& c, int program, const std::vector<SplitExpect>& expected) {
  SCOPED_TRACE("program " + std::to_string(program));
  const convert::ProgramRow* row = c.program_row(program, 0);
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->layer_count, 1);
  const auto* splits = c.splits(row->layers[0].split);
  ASSERT_NE(splits, nullptr);
  ASSERT_EQ(splits->size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ((*splits)[i].voice, expected[i].voice);
    EXPECT_EQ((*splits)[i].transpose, expected[i].transpose);
    EXPECT_EQ((*splits)[i].low_key, expected[i].low);
    EXPECT_EQ((*splits)[i].high_key, expected[i].high);
    EXPECT_EQ((*splits)[i].level, 0);
  }
}

TEST(SoundFontImport, MakesAVoicePerSampleAndTuning) {
  const ImportedBank bank = import(test::test_soundfont());
  ASSERT_EQ(bank.voices.size(), 4u);  // the click serves program 5 and key 36; the right hat is left out
  const struct {
    const char* name;
    std::size_t length;
    std::uint32_t loop;
    bool one_shot;
    int rate_class;
    std::uint16_t tuning;
  } expected[] = {{"s0001", 3000, 1000, false, 2, 0x8000},
                  {"s0002", 3200, 640, false, 1, 33724},
                  {"s0003", 600, 0, true, 0, 0x8000},
                  {"s0004", 1200, 0, true, 2, 0x8000}};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(expected[i].name);
    const bank::VoiceFile& v = bank.voices[i];
    EXPECT_EQ(v.name, expected[i].name);
    EXPECT_EQ(v.samples.size(), expected[i].length);
    EXPECT_EQ(v.loop_start, expected[i].loop);
    EXPECT_EQ(v.one_shot, expected[i].one_shot);
    EXPECT_EQ(v.rate_class, expected[i].rate_class);
    EXPECT_EQ(v.tuning, expected[i].tuning);
  }
  EXPECT_EQ(bank.voices[0].samples[1000 + 12], 11976);  // the sine as it was: 12000 sin(2 pi 12 / 50)
  EXPECT_EQ(bank.programs, 2);
  EXPECT_EQ(bank.drum_keys, 2);
}

TEST(SoundFontImport, EnvelopesBecomeVoiceEnvelopeSets) {
  const ImportedBank bank = import(test::test_soundfont());
  // Attack 0.1 s from 30 dB down, decay 1 s to 20 dB down, release 0.5 s.
  EXPECT_EQ(envelope_set(bank.voices[0], 1), (Bytes{87, 93, 86, 27, 0, 0, 0, 91}));
  EXPECT_EQ(envelope_set(bank.voices[1], 1), (Bytes{87, 93, 86, 27, 0, 0, 0, 91}));
  // The click: no envelope in program 5; a 1 s release on drum key 36, in the second set.
  EXPECT_EQ(envelope_set(bank.voices[2], 1), (Bytes{127, 0, 0, 0, 0, 0, 0, 95}));
  EXPECT_EQ(envelope_set(bank.voices[2], 2), (Bytes{127, 0, 0, 0, 0, 0, 0, 86}));
}

TEST(SoundFontImport, ProgramsSplitByKeyWithTransposes) {
  const ImportedBank bank = import(test::test_soundfont());
  const convert::ConversionConfig c = read_back(bank.config);
  ASSERT_NE(c.voice(128), nullptr);
  EXPECT_EQ(c.voice(128)->name, "s0001");
  EXPECT_EQ(c.voice(131)->name, "s0004");
  EXPECT_EQ(c.voice(132), nullptr);
  // Key 60 plays the 22050 Hz sample as recorded; the 32000 Hz one is a
  // semitone below its key in class 1, the rest in its tuning.
  expect_splits(c, 0, {{128, 0, 0, 59}, {129, -13, 60, 127}});
  EXPECT_EQ(c.program_row(0, 0)->layers[0].envelope_set, 1);
  expect_splits(c, 5, {{130, -4, 0, 127}});
  // Programs the SoundFont lacks: the nearest of their family, else program 0.
  for (int p : {1, 2, 8, 127}) expect_splits(c, p, {{128, 0, 0, 59}, {129, -13, 60, 127}});
  for (int p : {3, 4, 6, 7}) expect_splits(c, p, {{130, -4, 0, 127}});
}

TEST(SoundFontImport, DrumKitMapsKeysToVoicesAndPitches) {
  const ImportedBank bank = import(test::test_soundfont());
  const convert::ConversionConfig c = read_back(bank.config);
  for (int program : {0, 25, 127}) {
    const convert::DrumRecord* kick = c.drum(program, 36);
    ASSERT_NE(kick, nullptr);
    EXPECT_EQ(kick->voice, 130);
    EXPECT_EQ(kick->pitch, 12);
    EXPECT_EQ(kick->envelope, 2);
    EXPECT_EQ(kick->pan, 64);
    const convert::DrumRecord* hat = c.drum(program, 42);
    EXPECT_EQ(hat->voice, 131);
    EXPECT_EQ(hat->pitch, 18);
    EXPECT_EQ(hat->pan, 64);  // the left half of the pair, alone, sits in the middle
    EXPECT_EQ(c.drum(program, 37)->voice, 0xFFFF);
  }
}

TEST(SoundFontImport, ProgramListChoosesPresets) {
  ImportOptions options;
  options.presets = PresetList("5,128:1-3");
  const ImportedBank bank = import(test::test_soundfont(), options);
  ASSERT_EQ(bank.voices.size(), 1u);
  EXPECT_EQ(bank.programs, 1);
  EXPECT_EQ(bank.drum_keys, 0);
  const convert::ConversionConfig c = read_back(bank.config);
  for (int p : {0, 5, 64}) expect_splits(c, p, {{128, -4, 0, 127}});
  EXPECT_EQ(c.drum(0, 36)->voice, 0xFFFF);

  options.presets = PresetList("40-50");
  EXPECT_THROW(import(test::test_soundfont(), options), Sf2Error);
  for (const char* bad : {"", "1,", "x", "5-2", "128", "129:0", "1-2-3", "-4"}) {
    EXPECT_THROW(PresetList{bad}, std::invalid_argument) << bad;
  }
}

TEST(SoundFontImport, ForcedRateClassResamplesFasterSamples) {
  ImportOptions options;
  options.rate_class = 4;  // 11025 Hz
  const ImportedBank bank = import(test::test_soundfont(), options);
  ASSERT_EQ(bank.voices.size(), 4u);
  // The 22050 Hz sine halves: 1500 points, the loop from 500.
  EXPECT_EQ(bank.voices[0].rate_class, 4);
  EXPECT_EQ(bank.voices[0].samples.size(), 1500u);
  EXPECT_EQ(bank.voices[0].loop_start, 500u);
  EXPECT_EQ(bank.voices[0].tuning, 0x8000);
  EXPECT_EQ(bank.voices[2].samples.size(), 150u);  // the 44100 Hz click, a quarter
  options.rate_class = 0;                          // 44100 Hz: slower samples stay as they are, retuned
  const ImportedBank fast = import(test::test_soundfont(), options);
  EXPECT_EQ(fast.voices[0].samples.size(), 3000u);
  EXPECT_EQ(fast.voices[0].tuning, 0x8000);  // an octave below: all in the transpose
  const convert::ConversionConfig c = read_back(fast.config);
  EXPECT_EQ((*c.splits(c.program_row(0, 0)->layers[0].split))[0].transpose, -12);
}

TEST(SoundFontReader, DamagedFilesFailWithAReason) {
  const Bytes good = test::test_soundfont();
  const auto reason = [](const Bytes& b) {
    try {
      read_sf2(b.data(), b.size());
    } catch (const Sf2Error& e) {
      return std::string(e.what());
    }
    return std::string("read");
  };
  EXPECT_EQ(reason(Bytes{'R', 'I', 'F', 'F'}), "not a SoundFont 2 file");
  EXPECT_EQ(reason(Bytes(good.begin(), good.begin() + 200)), "the LIST chunk in the file runs past its end");
  // A file without its preset data.
  Bytes no_presets = good;
  const std::size_t pdta = std::string(good.begin(), good.end()).find("pdta");
  no_presets[pdta] = 'x';
  EXPECT_EQ(reason(no_presets), "no sample data or no preset data");
  // A hydra chunk claiming more than its list holds.
  Bytes long_bags = good;
  const std::size_t pbag = std::string(good.begin(), good.end()).find("pbag");
  long_bags[pbag + 5] = 0x40;
  EXPECT_EQ(reason(long_bags), "the pbag chunk in the preset data runs past its end");
  // A sample header pointing past the sample data.
  Bytes far = good;
  const std::size_t shdr = std::string(far.begin(), far.end()).find("shdr") + 8;
  far[shdr + 24] = 0xFF;
  far[shdr + 25] = 0xFF;
  EXPECT_EQ(reason(far), "sample \"low\" lies outside the sample data");
  // Every shorter file fails cleanly or reads.
  for (std::size_t n = 0; n < good.size(); n += 7) {
    const Bytes part(good.begin(), good.begin() + n);
    EXPECT_NE(reason(part), "") << n;
  }
}

class BankFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("kvt-bank-folder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(BankFolderTest, ReplacesAnEarlierBankWholeAndRefusesOtherFolders) {
  const ImportedBank bank = import(test::test_soundfont());
  const fs::path dir = root_ / "bank";
  const std::uintmax_t size = write_bank_folder(dir, bank);
  std::uintmax_t sum = 0;
  for (const auto& e : fs::directory_iterator(dir)) sum += e.file_size();
  EXPECT_EQ(size, sum);
  EXPECT_EQ(fs::file_size(dir / "s0001.kvw"), 0x100u + 2 * 3000);
  std::ofstream(dir / "stale.kvw") << "old";
  write_bank_folder(dir, bank);
  EXPECT_FALSE(fs::exists(dir / "stale.kvw"));
  EXPECT_TRUE(fs::exists(dir / "kvt.cfb"));

  const fs::path other = root_ / "papers";
  fs::create_directories(other);
  std::ofstream(other / "letter.txt") << "keep";
  EXPECT_THROW(write_bank_folder(other, bank), BankFolderError);
  EXPECT_TRUE(fs::exists(other / "letter.txt"));
  EXPECT_FALSE(fs::exists(other / "kvt.cfb"));
  std::size_t entries = 0;
  for (const auto& e : fs::directory_iterator(root_)) entries += e.is_directory() ? 1 : 0;
  EXPECT_EQ(entries, 2u);  // no folder left half made
}

}  // namespace
}  // namespace kvt::soundfont
