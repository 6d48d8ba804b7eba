// The album buffer and its operations: records packed back to back, the
// side tables kept in step, reserved albums, questions, the capacity, and
// indexes that name nothing.
#include <gtest/gtest.h>

#include <random>

#include "album_checks.h"
#include "album_store.h"
#include "recorded_prompts.h"

namespace kvt::test {
namespace {

using app::AlbumStore;
using app::BoxIcon;
using namespace std::string_literals;

const std::string kConfirm = "確認メッセージ";

class AlbumStoreTest : public testing::Test {
 protected:
  // Albums "S0", "S1" (files s0 and s1), "A" (a1, a2, a3), "B" (b1), "C" (none).
  void fill() {
    for (const char* name : {"S0", "S1", "A", "B", "C"}) albums.album_add(name);
    albums.fm_file_add(0, "s0");
    albums.fm_file_add(1, "s1");
    for (const char* file : {"a1", "a2", "a3"}) albums.fm_file_add(2, file);
    albums.fm_file_add(3, "b1");
  }

  RecordedPrompts prompts;
  AlbumStore albums{prompts};
};

TEST_F(AlbumStoreTest, AddedAlbumsLieBackToBackAndTheNewOneIsCurrent) {
  EXPECT_TRUE(albums.album_add("One"));
  EXPECT_TRUE(albums.album_add(""));
  EXPECT_TRUE(albums.album_add("Three"));
  EXPECT_EQ(albums.records(), "One\0\0Three\0"s);
  EXPECT_EQ(albums.album_num(), 3);
  EXPECT_EQ(albums.album_po(1), 4);
  EXPECT_EQ(albums.album_po(2), 5);
  EXPECT_EQ(albums.used(), 11u);
  EXPECT_EQ(albums.cur_album(), 2);
  EXPECT_EQ(albums.album(1), "");
  EXPECT_EQ(albums.fm_num(2), 0);
  EXPECT_EQ(albums.fm_cur(2), -1);
  EXPECT_TRUE(consistent(albums));
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(AlbumStoreTest, The257thAlbumIsRefused) {
  for (int x = 0; x < 256; ++x) ASSERT_TRUE(albums.album_add("n" + std::to_string(x)));
  const std::string before(albums.records());
  EXPECT_FALSE(albums.album_add("one too many"));
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes[0].text, "アルバム数が２５６を超えます\nこれ以上追加することはできません");
  EXPECT_EQ(prompts.boxes[0].caption, kConfirm);
  EXPECT_FALSE(prompts.boxes[0].question);
  EXPECT_EQ(albums.album_num(), 256);
  EXPECT_EQ(albums.cur_album(), 255);
  EXPECT_EQ(albums.records(), before);
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, FilesGoToTheEndOfTheirAlbumAndBecomeCurrent) {
  fill();
  EXPECT_EQ(albums.records(), "S0\0s0\0S1\0s1\0A\0a1\0a2\0a3\0B\0b1\0C\0"s);
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {"a1", "a2", "a3"}, 2}));
  EXPECT_EQ(contents(albums)[3], (AlbumContents{"B", {"b1"}, 0}));
  EXPECT_EQ(contents(albums)[4], (AlbumContents{"C", {}, -1}));
  EXPECT_EQ(albums.fm_file(2, -1), std::nullopt);
  EXPECT_EQ(albums.fm_file(2, 3), std::nullopt);
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, DeletingTheLastFileWhenCurrentMovesTheCurrentFile) {
  fill();
  EXPECT_TRUE(albums.fm_file_del(2, 2));
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {"a1", "a2"}, 1}));
  albums.set_fm_cur(2, 0);
  EXPECT_TRUE(albums.fm_file_del(2, 1));
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {"a1"}, 0})) << "another file deleted";
  EXPECT_TRUE(albums.fm_file_del(2, 0));
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {}, -1})) << "the only file deleted";
  EXPECT_EQ(contents(albums)[3], (AlbumContents{"B", {"b1"}, 0}));
  EXPECT_EQ(albums.records(), "S0\0s0\0S1\0s1\0A\0B\0b1\0C\0"s);
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, DeletingAFileBeforeTheCurrentOneKeepsItsIndex) {
  fill();
  albums.set_fm_cur(2, 1);
  EXPECT_TRUE(albums.fm_file_del(2, 0));
  EXPECT_EQ(contents(albums)[2], (AlbumContents{"A", {"a2", "a3"}, 1}));
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, ReservedAlbumsAreNeitherDeletedNorRenamed) {
  fill();
  const std::string before(albums.records());
  const auto before_contents = contents(albums);
  for (int x : {0, 1}) {
    EXPECT_EQ(albums.album_del(x), 1);
    EXPECT_FALSE(albums.album_ren(x, "renamed"));
  }
  ASSERT_EQ(prompts.boxes.size(), 4u);
  for (int k : {0, 2}) {
    EXPECT_EQ(prompts.boxes[k].text, "このアルバムはＫＶＴ９５で予約されているので\n削除することはできません");
    EXPECT_EQ(prompts.boxes[k + 1].text, "このアルバムはＫＶＴ９７で予約されているので\n名前の変更はできません");
  }
  for (const RecordedBox& box : prompts.boxes) {
    EXPECT_EQ(box.caption, kConfirm);
    EXPECT_FALSE(box.question);
  }
  EXPECT_EQ(albums.records(), before);
  EXPECT_EQ(contents(albums), before_contents);
}

TEST_F(AlbumStoreTest, DeletingAnAlbumKeepsTheLaterOnesIntact) {
  fill();
  albums.set_fm_cur(3, -1);
  auto expected = contents(albums);
  prompts.answers = {true};
  EXPECT_EQ(albums.album_del(2), 0);
  expected.erase(expected.begin() + 2);
  EXPECT_EQ(contents(albums), expected);
  EXPECT_EQ(albums.album_num(), 4);
  EXPECT_EQ(albums.records(), "S0\0s0\0S1\0s1\0B\0b1\0C\0"s);
  EXPECT_EQ(albums.album_po(2), 12);
  EXPECT_TRUE(consistent(albums));
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_TRUE(prompts.boxes[0].question);
  EXPECT_EQ(prompts.boxes[0].text, "アルバム内に演奏ファイルが記録されています\nすべて削除してもいいですか？");
  EXPECT_EQ(prompts.boxes[0].caption, kConfirm);
}

TEST_F(AlbumStoreTest, AnAlbumWithFilesStaysWhenTheAnswerIsNo) {
  fill();
  const std::string before(albums.records());
  prompts.answers = {false};
  EXPECT_EQ(albums.album_del(3), 1);
  EXPECT_EQ(albums.records(), before);
  EXPECT_EQ(albums.album_num(), 5);
  EXPECT_EQ(prompts.boxes.size(), 1u);
}

TEST_F(AlbumStoreTest, AnEmptyAlbumIsDeletedWithoutAQuestion) {
  fill();
  EXPECT_EQ(albums.album_del(4), 0);
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_EQ(albums.records(), "S0\0s0\0S1\0s1\0A\0a1\0a2\0a3\0B\0b1\0"s);
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, RenamingKeepsTheLaterAlbumsIntact) {
  fill();
  const auto before = contents(albums);
  for (const std::string name : {"A much longer name", "", "Z", "A"}) {
    EXPECT_TRUE(albums.album_ren(2, name));
    auto expected = before;
    expected[2].name = name;
    EXPECT_EQ(contents(albums), expected) << "renamed to \"" << name << '"';
    EXPECT_TRUE(consistent(albums));
  }
  EXPECT_TRUE(albums.album_ren(4, "Last"));
  EXPECT_EQ(albums.records(), "S0\0s0\0S1\0s1\0A\0a1\0a2\0a3\0B\0b1\0Last\0"s);
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(AlbumStoreTest, ANulEndsANameOrAPath) {
  fill();
  albums.album_add("ab\0cd"s);
  albums.fm_file_add(5, "/x\0/y"s);
  EXPECT_EQ(albums.records().substr(albums.album_po(5)), "ab\0/x\0"s);
  albums.album_ren(5, "efg\0h"s);
  EXPECT_EQ(albums.records().substr(albums.album_po(5)), "efg\0/x\0"s);
  EXPECT_TRUE(consistent(albums));
}

TEST_F(AlbumStoreTest, ClearingLeavesNoAlbumsButKeepsTheCurrentAlbum) {
  fill();
  albums.set_cur_album(3);
  albums.clear();
  EXPECT_EQ(albums.album_num(), 0);
  EXPECT_EQ(albums.used(), 0u);
  EXPECT_EQ(albums.cur_album(), 3);
  albums.album_add("new");
  EXPECT_EQ(albums.records(), "new\0"s);
}

TEST_F(AlbumStoreTest, IndexesThatNameNothingDoNothing) {
  fill();
  const std::string before(albums.records());
  const auto before_contents = contents(albums);
  for (int x : {-1, 5, 256, 1000}) {
    EXPECT_EQ(albums.album(x), "");
    EXPECT_EQ(albums.fm_num(x), 0);
    EXPECT_EQ(albums.fm_cur(x), -1);
    EXPECT_EQ(albums.fm_file(x, 0), std::nullopt);
    EXPECT_EQ(albums.album_del(x), 1);
    EXPECT_FALSE(albums.album_ren(x, "x"));
    EXPECT_FALSE(albums.fm_file_add(x, "x"));
    EXPECT_FALSE(albums.fm_file_del(x, 0));
    albums.set_fm_cur(x, 0);
  }
  for (int y : {-2, -1, 3, 1000}) {
    EXPECT_EQ(albums.fm_file(2, y), std::nullopt);
    EXPECT_FALSE(albums.fm_file_del(2, y));
  }
  EXPECT_EQ(albums.album_po(-1), 0);
  EXPECT_EQ(albums.album_po(6), 0);
  EXPECT_EQ(albums.records(), before);
  EXPECT_EQ(contents(albums), before_contents);
  EXPECT_TRUE(prompts.boxes.empty());
}

// Room for 10 bytes, 9 of them used: "A", "B" and "C" holding "ab".
class SmallAlbumStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"A", "B", "C"}) ASSERT_TRUE(albums.album_add(name));
    ASSERT_TRUE(albums.fm_file_add(2, "ab"));
  }

  void expect_refused(bool done) {
    EXPECT_FALSE(done);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "アルバムの容量を超えます\nこれ以上追加することはできません");
    EXPECT_EQ(prompts.boxes[0].caption, kConfirm);
    EXPECT_EQ(prompts.boxes[0].icon, BoxIcon::exclamation);
    EXPECT_EQ(albums.records(), "A\0B\0C\0ab\0"s);
    EXPECT_EQ(albums.album_num(), 3);
    EXPECT_EQ(albums.fm_num(2), 1);
    EXPECT_TRUE(consistent(albums));
    prompts.boxes.clear();
  }

  RecordedPrompts prompts;
  AlbumStore albums{prompts, 10};
};

TEST_F(SmallAlbumStoreTest, InsertionsPastTheCapacityAreRefused) {
  EXPECT_EQ(albums.capacity(), 10u);
  EXPECT_EQ(albums.used(), 9u);
  expect_refused(albums.album_add("DE"));
  expect_refused(albums.fm_file_add(0, "cd"));
  expect_refused(albums.album_ren(2, "CDE"));
}

TEST_F(SmallAlbumStoreTest, AnInsertionThatFillsTheBufferExactlyIsTaken) {
  EXPECT_TRUE(albums.album_ren(2, "CD"));
  EXPECT_EQ(albums.used(), 10u);
  EXPECT_TRUE(albums.album_ren(2, "")) << "a shorter name needs no room";
  EXPECT_TRUE(albums.fm_file_add(0, "x"));
  EXPECT_EQ(albums.records(), "A\0x\0B\0\0ab\0"s);
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_TRUE(consistent(albums));
}

// A long run of every operation against a plain model of the albums.
TEST(AlbumStoreModel, EveryOperationKeepsTheStoreInStepWithAModel) {
  RecordedPrompts prompts;
  AlbumStore albums(prompts);
  std::vector<AlbumContents> model;
  std::mt19937 random(97);
  const auto pick = [&](int below) { return std::uniform_int_distribution<int>(-1, below)(random); };
  for (int step = 0; step < 3000; ++step) {
    const int num = static_cast<int>(model.size());
    const int x = pick(num);
    const std::string text(static_cast<std::size_t>(pick(12) + 1), static_cast<char>('a' + step % 26));
    const bool ok = x >= 0 && x < num;
    switch (step % 5) {
      case 0:
        if (num < 256 && albums.album_add(text)) model.push_back({text, {}, -1});
        break;
      case 1:
        prompts.answers = {step % 3 != 0};
        if (albums.album_del(x) == 0) model.erase(model.begin() + x);
        break;
      case 2:
        if (albums.album_ren(x, text)) model[x].name = text;
        break;
      case 3:
      case 4:
        if (step % 2 == 0 && ok && !model[x].files.empty()) {
          const int y = pick(static_cast<int>(model[x].files.size()));
          if (albums.fm_file_del(x, y)) {
            AlbumContents& album = model[x];
            album.files.erase(album.files.begin() + y);
            if (album.cur == static_cast<int>(album.files.size())) --album.cur;
          }
        } else if (albums.fm_file_add(x, text)) {
          model[x].files.push_back(text);
          model[x].cur = static_cast<int>(model[x].files.size()) - 1;
        }
        break;
    }
    ASSERT_TRUE(consistent(albums)) << "step " << step;
    ASSERT_EQ(contents(albums), model) << "step " << step;
  }
  EXPECT_GT(albums.album_num(), 10);
}

}  // namespace
}  // namespace kvt::test
