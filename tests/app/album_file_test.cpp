// The album file: headers and path lines read as written or as a person
// might have edited them, the exact bytes written, and the file on disk.
#include <gtest/gtest.h>

#include "album_checks.h"
#include "album_file.h"
#include "album_store.h"
#include "recorded_prompts.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

using app::album_file_text;
using app::AlbumStore;
using app::read_album_text;

// The store as the program has it before reading the file: the two
// built-in albums, "S1" holding one song.
class AlbumFileTest : public testing::Test {
 protected:
  void SetUp() override {
    albums.album_add("S0");
    albums.album_add("S1");
    albums.fm_file_add(1, "/songs/s1.kvt");
  }

  // The albums from 2 on.
  std::vector<AlbumContents> read(std::string_view text) {
    read_album_text(text, albums);
    EXPECT_TRUE(consistent(albums));
    const std::vector<AlbumContents> all = contents(albums);
    return {all.begin() + 2, all.end()};
  }

  RecordedPrompts prompts;
  AlbumStore albums{prompts};
};

using Albums = std::vector<AlbumContents>;

TEST_F(AlbumFileTest, HeadersStartAlbumsAndLinesAddFiles) {
  EXPECT_EQ(read("[A]\r\n/m/a.kvt\r\n\r\n[B]\r\n"), (Albums{{"A", {"/m/a.kvt"}, 0}, {"B", {}, -1}}));
  EXPECT_EQ(albums.cur_album(), 3) << "the last album added";
}

TEST_F(AlbumFileTest, TextAfterTheClosingBracketIsTheFirstFile) {
  EXPECT_EQ(read("[A]/m/first.kvt\r\n/m/second.mid\r\n"), (Albums{{"A", {"/m/first.kvt", "/m/second.mid"}, 1}}));
}

TEST_F(AlbumFileTest, LinesBeforeAnyHeaderGoToTheLastAlbumPresent) {
  EXPECT_EQ(read("/m/early.kvt\r\n[A]\r\n"), (Albums{{"A", {}, -1}}));
  EXPECT_EQ(contents(albums)[1].files, (std::vector<std::string>{"/songs/s1.kvt", "/m/early.kvt"}));
}

TEST_F(AlbumFileTest, AnyLineEndWillDo) {
  const Albums expected{{"A", {"/m/a.kvt", "/m/b.kvt"}, 1}, {"B", {"/m/c.kvt"}, 0}};
  EXPECT_EQ(read("[A]\r/m/a.kvt\r/m/b.kvt\r\r[B]\r/m/c.kvt\r"), expected);
  albums.clear();
  SetUp();
  EXPECT_EQ(read("[A]\n/m/a.kvt\n/m/b.kvt\n\n[B]\n/m/c.kvt"), expected);
  albums.clear();
  SetUp();
  EXPECT_EQ(read("\r\n  [A\r\n/m/a.kvt\r\n\n\n/m/b.kvt\r\n[B]\r\n\r\n\r\n/m/c.kvt"), expected)
      << "a header ended by its line, blank lines and leading spaces";
}

TEST_F(AlbumFileTest, SpacesAreKeptInTheLineAfterAHeader) {
  EXPECT_EQ(read("[A] \r\n  /m/a.kvt\r\n"), (Albums{{"A", {" ", "/m/a.kvt"}, 1}}));
  albums.clear();
  SetUp();
  EXPECT_EQ(read("[A]\r\n  /m/a.kvt\r\n"), (Albums{{"A", {"  /m/a.kvt"}, 0}}));
}

TEST_F(AlbumFileTest, ABracketInsideAPathIsPartOfIt) {
  EXPECT_EQ(read("[A]\r\n/m/x[1].kvt\r\n/m/[live]/y.kvt\r\n[B]/m/[z].kvt\r\n"),
            (Albums{{"A", {"/m/x[1].kvt", "/m/[live]/y.kvt"}, 1}, {"B", {"/m/[z].kvt"}, 0}}));
}

TEST_F(AlbumFileTest, LongPathsAndNamesAreCutAtTheirLimits) {
  const std::string path(4095, 'p');
  const std::string longer = std::string(4095, 'q') + "rest";
  const std::string name(256, 'n');
  EXPECT_EQ(read("[" + name + "tail]/m/a.kvt\r\n" + path + "\r\n" + longer + "\r\n/m/b.kvt\r\n"),
            (Albums{{name, {"/m/a.kvt", path, std::string(4095, 'q'), "/m/b.kvt"}, 3}}));
}

TEST_F(AlbumFileTest, ALineCutOffByTheEndIsTakenUpToTheEnd) {
  EXPECT_EQ(read("[A]\r\n/m/a.kvt\r\n/m/b.k"), (Albums{{"A", {"/m/a.kvt", "/m/b.k"}, 1}}));
  albums.clear();
  SetUp();
  EXPECT_EQ(read("[A]\r\n/m/a.kvt\r\n[Al"), (Albums{{"A", {"/m/a.kvt"}, 0}, {"Al", {}, -1}}));
  albums.clear();
  SetUp();
  EXPECT_EQ(read("[A]\r\n/m/a.kvt\r\n["), (Albums{{"A", {"/m/a.kvt"}, 0}, {"", {}, -1}}));
}

TEST_F(AlbumFileTest, NothingToReadAddsNothing) {
  EXPECT_EQ(read(""), Albums{});
  EXPECT_EQ(read("\r\n \r\n"), Albums{});
  EXPECT_EQ(albums.fm_num(1), 1);
  AlbumStore empty(prompts);
  read_album_text("/m/a.kvt\r\n", empty);
  EXPECT_EQ(empty.album_num(), 0) << "a path with no album at all";
}

TEST_F(AlbumFileTest, TheUserAlbumsAreWrittenWithCrLf) {
  EXPECT_EQ(album_file_text(albums), "") << "the built-in albums are never written";
  albums.album_add("A");
  albums.fm_file_add(2, "/m/a.kvt");
  albums.fm_file_add(2, "/m/b c.mid");
  albums.album_add("");
  albums.album_add("\x82\xA0");
  albums.fm_file_add(4, "/m/\xE3\x81\x82.mml");
  EXPECT_EQ(album_file_text(albums),
            "[A]\r\n/m/a.kvt\r\n/m/b c.mid\r\n\r\n"
            "[]\r\n\r\n"
            "[\x82\xA0]\r\n/m/\xE3\x81\x82.mml\r\n\r\n");
}

TEST_F(AlbumFileTest, WhatIsWrittenReadsBackTheSame) {
  const std::string text =
      "[A]\r\n/m/a.kvt\r\n/m/[b].kvt\r\n\r\n"
      "[\x82\xA0\x82\xA2]\r\n\r\n"
      "[C]\r\n/m/c.rcp\r\n\r\n";
  read(text);
  EXPECT_EQ(album_file_text(albums), text);
}

TEST_F(AlbumFileTest, TheFileIsSavedAndLoadedWhole) {
  ScratchDir folder;
  albums.album_add("A");
  albums.fm_file_add(2, "/m/a.kvt");
  const std::string path = folder / "album.txt";
  ASSERT_TRUE(app::save_album_file(path, albums));
  const Bytes written = read_file(path);
  EXPECT_EQ(std::string(written.begin(), written.end()), "[A]\r\n/m/a.kvt\r\n\r\n");

  AlbumStore loaded(prompts);
  loaded.album_add("S0");
  loaded.album_add("S1");
  ASSERT_TRUE(app::load_album_file(path, loaded));
  EXPECT_EQ(contents(loaded), (Albums{{"S0", {}, -1}, {"S1", {}, -1}, {"A", {"/m/a.kvt"}, 0}}));
}

TEST_F(AlbumFileTest, AFileThatCannotBeReadOrWrittenIsReported) {
  ScratchDir folder;
  const std::string before(albums.records());
  EXPECT_FALSE(app::load_album_file(folder / "missing.txt", albums));
  EXPECT_FALSE(app::load_album_file(folder / "", albums)) << "a folder";
  EXPECT_EQ(albums.records(), before);
  EXPECT_FALSE(app::save_album_file(folder / "no/such/folder/album.txt", albums));
  EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace kvt::test
