#include "settings_record.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "program_paths.h"

namespace kvt::app {
namespace {

using Image = std::vector<std::uint8_t>;

std::int32_t int_at(const Image& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                   static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

void put_int(Image& bytes, std::size_t offset, std::int32_t value) {
  for (std::size_t k = 0; k < 4; ++k) bytes[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

Image image_of(const Settings& settings) {
  const auto bytes = to_bytes(settings);
  return Image(bytes.begin(), bytes.end());
}

void write_file(const std::string& path, const Image& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Image read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Image(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Settings files in a directory of their own.
class SettingsFile : public testing::Test {
 protected:
  QTemporaryDir dir;
  ProgramPaths paths = program_paths_in("/opt/kvt97", dir.path().toStdString());

  Settings load(const Image& file) {
    write_file(paths.inifile, file);
    return load_settings(paths);
  }
};

// Every integer with a range: offset, lowest and highest valid value, the
// value that replaces any other, and the fresh default.
struct RangedField {
  std::size_t offset;
  std::int32_t low, high, replacement, fresh;
};

constexpr RangedField kRanged[] = {
    {536, 0, 6, 2, 2},        {540, 0, 1, 0, 0},        {544, 0, 1, 1, 0},       {548, 0, 2, 1, 1},
    {552, 0, 2, 0, 0},        {556, 1, 2, 1, 1},        {560, 0, 6, 4, 4},       {564, 0, 1, 1, 1},
    {568, 0, 2, 2, 2},        {572, 0, 2, 0, 0},        {576, 1, 2, 1, 1},       {580, 0, 1280, 618, 618},
    {584, 0, 1024, 448, 448}, {588, 0, 255, 90, 90},    {592, 0, 255, 100, 100}, {596, 1, 6, 2, 2},
    {600, -15, 15, 0, 0},     {604, -15, 15, 0, 0},     {868, 0, 0, 0, 0},       {880, 0, 3, 0, 0},
    {884, 0, 1, 0, 0},        {888, 0, 1, 0, 0},        {892, 0, 1280, 20, 20},  {896, 0, 1024, 20, 20},
    {900, 0, 1280, 600, 600}, {904, 0, 1024, 300, 300}, {908, 0, 1, 0, 0},       {912, 0, 1280, 40, 40},
    {916, 0, 1024, 40, 40},   {920, 0, 1, 0, 0},        {924, 0, 1, 0, 0},
};

TEST(FreshSettings, HoldTheDefaultsAndTheProgramsFolders) {
  const Image bytes = image_of(fresh_settings(program_paths_in("/opt/kvt97", "/home/u/.config/kvt97")));
  ASSERT_EQ(bytes.size(), kSettingsSize);
  for (const RangedField& field : kRanged) EXPECT_EQ(int_at(bytes, field.offset), field.fresh) << field.offset;
  EXPECT_EQ(int_at(bytes, 864), 8);
  for (const std::size_t offset : {872u, 876u, 928u}) EXPECT_EQ(int_at(bytes, offset), 0) << offset;
  EXPECT_EQ(Image(bytes.begin(), bytes.begin() + 20), Image(20, 0));
  EXPECT_EQ(Image(bytes.begin() + 532, bytes.begin() + 536), Image(4, 0));
  // Exact bytes: a little-endian 618, a path with its padding.
  EXPECT_EQ(Image(bytes.begin() + 580, bytes.begin() + 584), (Image{0x6A, 0x02, 0, 0}));
  const std::string pcm97 = "/opt/kvt97/Pcm97";
  Image dir1(pcm97.begin(), pcm97.end());
  dir1.resize(kSettingsPathSize, 0);
  EXPECT_EQ(Image(bytes.begin() + 20, bytes.begin() + 276), dir1);
  const Settings fresh = from_bytes(bytes);
  EXPECT_EQ(path_text(fresh.pcm_dir2), "/opt/kvt97/Pcm95");
  EXPECT_EQ(path_text(fresh.last_dir), "/opt/kvt97/Sample");
}

TEST(SettingsRepair, ReplacesEachValueOutsideItsRange) {
  for (const RangedField& field : kRanged) {
    for (const std::int32_t value : {field.low - 1, field.high + 1, field.low, field.high}) {
      Image bytes(kSettingsSize, 0);
      put_int(bytes, field.offset, value);
      Settings settings = from_bytes(bytes);
      repair(settings);
      const bool valid = value >= field.low && value <= field.high;
      EXPECT_EQ(int_at(image_of(settings), field.offset), valid ? value : field.replacement)
          << "offset " << field.offset << " value " << value;
    }
  }
}

TEST(SettingsRepair, WavBitsAreEightOrSixteen) {
  for (const auto& [stored, repaired] : {std::pair{8, 8}, {16, 16}, {12, 8}, {0, 8}, {-16, 8}}) {
    Settings settings;
    settings.wav_bits = stored;
    repair(settings);
    EXPECT_EQ(settings.wav_bits, repaired) << stored;
  }
}

TEST(SettingsRepair, KeepsTheFieldsWithoutRange) {
  Settings settings;
  settings.main_left = -5000;
  settings.main_top = 70000;
  settings.cur_album = -1;
  repair(settings);
  EXPECT_EQ(settings.main_left, -5000);
  EXPECT_EQ(settings.main_top, 70000);
  EXPECT_EQ(settings.cur_album, -1);
}

TEST(SettingsImage, BytesBeyondTheRecordAreIgnored) {
  const Image long_image(kSettingsSize + 8, 0x11);
  EXPECT_EQ(image_of(from_bytes(long_image)), Image(kSettingsSize, 0x11));
}

TEST_F(SettingsFile, OfZeroBytesStartsWithTheRepairedValues) {
  Image expected(kSettingsSize, 0);
  put_int(expected, 556, 1);  // play_loop
  put_int(expected, 576, 1);  // wav_loop
  put_int(expected, 596, 2);  // midi_chorus_depth
  put_int(expected, 864, 8);  // wav_bits
  const Settings settings = load(Image(kSettingsSize, 0));
  EXPECT_EQ(image_of(settings), expected);
  EXPECT_EQ(path_text(settings.pcm_dir1), "");
}

TEST_F(SettingsFile, DamagedValuesAreRepairedOnLoad) {
  Image file = image_of(fresh_settings(paths));
  put_int(file, 536, 9);
  put_int(file, 600, -16);
  const Settings settings = load(file);
  EXPECT_EQ(settings.play_rate, 2);
  EXPECT_EQ(settings.midi_volume, 0);
}

TEST_F(SettingsFile, ShortFileIsReadAsFarAsItGoes) {
  Image file(590, 0);
  put_int(file, 536, 5);
  put_int(file, 580, 800);
  const Settings settings = load(file);
  EXPECT_EQ(settings.play_rate, 5);
  EXPECT_EQ(settings.main_width, 800);
  EXPECT_EQ(settings.midi_reverb, 0);
  EXPECT_EQ(settings.midi_chorus_depth, 2);
  EXPECT_EQ(settings.doc_height, 0);  // zero, not the fresh 300
  EXPECT_EQ(settings.cur_album, 0);
}

TEST_F(SettingsFile, MissingOrUnreadableGivesFreshSettings) {
  const Image fresh = image_of(fresh_settings(paths));
  EXPECT_EQ(image_of(load_settings(paths)), fresh);
  ASSERT_TRUE(QDir(dir.path()).mkdir("kvt97.ini"));
  EXPECT_EQ(image_of(load_settings(paths)), fresh);
}

TEST_F(SettingsFile, FullRecordRoundTripsByteForByte) {
  Image file(kSettingsSize);
  for (std::size_t k = 0; k < kSettingsSize; ++k) file[k] = static_cast<std::uint8_t>(k * 7 + 3);
  // Valid values everywhere a range applies; reserved bytes and the bytes
  // after each path's NUL as they are.
  for (const RangedField& field : kRanged) put_int(file, field.offset, field.high);
  put_int(file, 864, 16);
  file[40] = 0;
  const Settings settings = load(file);
  EXPECT_EQ(settings.wav_loop, 2);
  EXPECT_EQ(path_text(settings.pcm_dir1).size(), 20u);
  ASSERT_TRUE(save_settings(paths, settings));
  EXPECT_EQ(read_file(paths.inifile), file);
}

TEST_F(SettingsFile, ConfigurationSlotIsKeptByTheRecord) {
  // Starting with slot 0 is the program's business, not the record's.
  Settings settings = fresh_settings(paths);
  settings.cfg_select = 1;
  ASSERT_TRUE(save_settings(paths, settings));
  EXPECT_EQ(load_settings(paths).cfg_select, 1);
}

TEST_F(SettingsFile, FailedSaveLeavesTheOldFile) {
  // A name so long that no file can be made beside it.
  paths.inifile = dir.path().toStdString() + "/" + std::string(250, 'k');
  const Image old(kSettingsSize, 0x5A);
  write_file(paths.inifile, old);
  EXPECT_FALSE(save_settings(paths, fresh_settings(paths)));
  EXPECT_EQ(read_file(paths.inifile), old);

  paths.inifile = dir.path().toStdString() + "/missing/kvt97.ini";
  EXPECT_FALSE(save_settings(paths, fresh_settings(paths)));
}

TEST(SettingsPathText, IsCutBetweenCharactersAndPadded) {
  SettingsPath path;
  path.fill('x');
  set_path_text(path, std::string(254, 'a') + "あ");
  EXPECT_EQ(path_text(path), std::string(254, 'a'));
  EXPECT_EQ(path[254], '\0');
  EXPECT_EQ(path[255], '\0');
  set_path_text(path, std::string(300, 'b'));
  EXPECT_EQ(path_text(path), std::string(255, 'b'));
  path.fill('c');
  EXPECT_EQ(path_text(path), std::string(256, 'c'));
}

}  // namespace
}  // namespace kvt::app
