// The albums as the program starts: the built-in albums from their folders,
// then the album file or the one album that stands in for it.
#include <gtest/gtest.h>

#include <filesystem>

#include "album_checks.h"
#include "album_store.h"
#include "builtin_albums.h"
#include "display_text.h"
#include "recorded_prompts.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

using app::AlbumStore;
using Files = std::vector<std::string>;

const std::string kSampleAlbum = "ＫＶＴ９７のサンプル２５曲";
const std::string kDovaAlbum = "(株)zov社提供の３曲";
const std::string kOtherAlbum = "その他のデータ(名前は変更してね)";

class BuiltinAlbumsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"b.KVT", "a.kvt", "c.Kvt", "plainkvt", "song.mml", "readme.txt", "x.kvt.bak"}) {
      folder.write_text(std::string("Sample/") + name, "KVTM");
    }
    std::filesystem::create_directory(sample + "/dir.kvt");
    for (const char* name : {"z.kvt", "y.kvt"}) folder.write_text(std::string("Dova/") + name, "KVTM");
  }

  void rebuild(const std::string& sample_dir, const std::string& dova_dir) {
    app::rebuild_albums(albums, sample_dir, dova_dir, folder / "album.txt");
    EXPECT_TRUE(consistent(albums));
  }

  ScratchDir folder;
  const std::string sample = folder / "Sample";
  const std::string dova = folder / "Dova";
  RecordedPrompts prompts;
  AlbumStore albums{prompts};
};

TEST_F(BuiltinAlbumsTest, SongDataFilesOfEachFolderInNameOrder) {
  rebuild(sample, dova);
  ASSERT_EQ(albums.album_num(), 3);
  const std::string s = sample + "/";
  EXPECT_EQ(contents(albums)[0].files, (Files{s + "a.kvt", s + "b.KVT", s + "c.Kvt", s + "plainkvt"}));
  EXPECT_EQ(albums.fm_cur(0), 0);
  EXPECT_EQ(contents(albums)[1].files, (Files{dova + "/y.kvt", dova + "/z.kvt"}));
  EXPECT_EQ(albums.fm_cur(1), 0);
}

TEST_F(BuiltinAlbumsTest, NamesAreStoredAsShiftJis) {
  rebuild(sample, dova);
  EXPECT_EQ(albums.album(0).substr(0, 6), "\x82\x6A\x82\x75\x82\x73") << "full-width KVT";
  EXPECT_EQ(frontend::to_utf8(albums.album(0)), kSampleAlbum);
  EXPECT_EQ(albums.album(1).substr(0, 4), "(\x8A\x94)");
  EXPECT_EQ(frontend::to_utf8(albums.album(1)), kDovaAlbum);
}

TEST_F(BuiltinAlbumsTest, WithoutAnAlbumFileOneEmptyAlbumStandsInForIt) {
  rebuild(sample, dova);
  EXPECT_EQ(frontend::to_utf8(albums.album(2)), kOtherAlbum);
  EXPECT_EQ(albums.album(2), frontend::to_shift_jis(kOtherAlbum));
  EXPECT_EQ(albums.fm_num(2), 0);
  EXPECT_EQ(albums.fm_cur(2), -1);
}

TEST_F(BuiltinAlbumsTest, TheAlbumFileFollowsTheBuiltInAlbums) {
  folder.write_text("album.txt", "[A]\r\n/m/a.kvt\r\n\r\n[B]\r\n\r\n");
  rebuild(sample, dova);
  ASSERT_EQ(albums.album_num(), 4);
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {"/m/a.kvt"}, 0}));
  EXPECT_EQ(contents(albums)[3], (AlbumContents{"B", {}, -1}));
}

TEST_F(BuiltinAlbumsTest, AMissingFolderLeavesItsAlbumEmpty) {
  rebuild(folder / "NoSample", folder / "NoDova");
  ASSERT_EQ(albums.album_num(), 3);
  for (int x : {0, 1}) {
    EXPECT_EQ(albums.fm_num(x), 0);
    EXPECT_EQ(albums.fm_cur(x), -1);
  }
  EXPECT_EQ(frontend::to_utf8(albums.album(1)), kDovaAlbum);
}

TEST_F(BuiltinAlbumsTest, EarlierAlbumsAreReplacedAndTheCurrentAlbumKept) {
  albums.album_add("old");
  albums.fm_file_add(0, "/old.kvt");
  albums.set_cur_album(7);
  rebuild(folder / "NoSample", dova);
  EXPECT_EQ(albums.cur_album(), 7);
  EXPECT_EQ(albums.album_num(), 3);
  EXPECT_EQ(albums.fm_num(0), 0);
  EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace kvt::test
