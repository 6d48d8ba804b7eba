// The title readers of song data, MIDI and RCP files.
#include "convert_fixture.h"

namespace kvt::test {
namespace {

class Titles : public ::testing::Test {
 protected:
  using Reader = int (*)(const char*, char*, size_t, char*, size_t);
  // The title, or "-1" when the reader finds none.
  std::string title(Reader reader, const Bytes& file) {
    const std::string path = dir.write("file", file);
    char buf[256];
    const int result = reader(path.c_str(), buf, sizeof buf, log, sizeof log);
    return result == 0 ? std::string(buf) : "-1";
  }

  ScratchDir dir;
  char log[512] = "";
};

Bytes song_with_title_at(std::uint16_t offset, const Bytes& block) {
  Bytes b(0x300, 0xFF);
  b[11] = static_cast<std::uint8_t>(offset);
  b[12] = static_cast<std::uint8_t>(offset >> 8);
  std::copy(block.begin(), block.end(), b.begin() + (offset < b.size() ? offset : 0));
  return b;
}

TEST_F(Titles, SongData) {
  EXPECT_EQ(title(gettitle_fm, song_with_title_at(0x290, {3, 'A', 'b', 'c'})), "Abc");
  EXPECT_EQ(title(gettitle_fm, song_with_title_at(0xFFFF, {})), "-1");
  EXPECT_EQ(title(gettitle_fm, song_with_title_at(0x290, {0xFF})), "-1");
  EXPECT_EQ(title(gettitle_fm, song_with_title_at(0x2000, {})), "-1") << "beyond the end";
  EXPECT_EQ(title(gettitle_fm, {1, 2, 3}), "-1");
  Bytes cut = song_with_title_at(0x2FE, {5, 'A'});
  EXPECT_EQ(title(gettitle_fm, cut), "A\xFF\xFF\xFF\xFF") << "missing bytes read as 0xFF";
}

TEST_F(Titles, Rcp) {
  Bytes rcp(0x100, 0);
  const std::string magic = "RCM-PC98V2.0(C)COME ON MUSIC\r\n";
  std::copy(magic.begin(), magic.end(), rcp.begin());
  std::fill(rcp.begin() + 32, rcp.begin() + 96, 'T');
  EXPECT_EQ(title(gettitle_rcp, rcp), std::string(63, 'T'));
  EXPECT_EQ(title(gettitle_rcp, Bytes(100, 'x')), "-1");

  Bytes named = rcp;
  std::fill(named.begin() + 36, named.end(), 0);
  EXPECT_EQ(title(gettitle_rcp, Bytes(named.begin(), named.begin() + 37)), "TTTT") << "ended by its NUL";
  EXPECT_EQ(title(gettitle_rcp, Bytes(rcp.begin(), rcp.begin() + 34)), "-1") << "cut short by the end";
  EXPECT_EQ(title(gettitle_rcp, Bytes(rcp.begin(), rcp.begin() + 8)), "-1") << "no title field at all";
}

TEST_F(Titles, MidiTakesTheFirstTracksFirstName) {
  const Bytes named = smf_file(1, 48, {smf_track({note_on(0, 1, 60), {0, {62, 90}}, track_name(0, "First")}),
                                       smf_track({track_name(0, "Second")})});
  EXPECT_EQ(title(gettitle_mid, named), "First") << "after running status";
  const Bytes later = smf_file(1, 48, {smf_track({program(0, 1, 3)}), smf_track({track_name(0, "Second")})});
  EXPECT_EQ(title(gettitle_mid, later), "-1");
  EXPECT_EQ(title(gettitle_mid, {'M', 'T', 'h', 'd'}), "-1");

  const Bytes head{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 0x30, 'M', 'T', 'r', 'k', 0, 0, 0, 10, 0};
  EXPECT_EQ(title(gettitle_mid, cat({head, {0xFF, 0x03, 5, 'T', 'i'}})), "-1") << "a name cut short by the end";
  EXPECT_EQ(title(gettitle_mid, cat({head, {0xFF, 0x03, 2, 'T', 'i'}})), "Ti") << "a name that ends with the file";
  EXPECT_EQ(title(gettitle_mid, cat({head, {0xB0, 7}})), "-1") << "a message cut short by the end";
}

TEST_F(Titles, AnEmptyFileHasNoTitleAndNeedsNoMessage) {
  for (const Reader reader : {gettitle_fm, gettitle_mid, gettitle_rcp}) {
    log[0] = '\0';
    EXPECT_EQ(title(reader, {}), "-1");
    EXPECT_EQ(std::string(log), "");
  }
}

TEST_F(Titles, AMissingFileLeavesAMessage) {
  char buf[256];
  EXPECT_EQ(gettitle_mid((dir / "none.mid").c_str(), buf, sizeof buf, log, sizeof log), -1);
  EXPECT_EQ(std::string(log), "ERROR! Unable to open " + (dir / "none.mid") + "\n");
}

TEST_F(Titles, FoldersAndDevicesAreNotRead) {
  const NonRegularFiles inputs(dir, "");
  for (const std::string& path : inputs.all()) {
    for (const Reader reader : {gettitle_fm, gettitle_mid, gettitle_rcp}) {
      SCOPED_TRACE(path);
      char buf[256];
      log[0] = '\0';
      EXPECT_EQ(reader(path.c_str(), buf, sizeof buf, log, sizeof log), -1);
      EXPECT_EQ(std::string(log), "ERROR! Unable to open " + path + "\n");
    }
  }
}

}  // namespace
}  // namespace kvt::test
