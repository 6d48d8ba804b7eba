// The program's start and end in one process: what it reads at the start,
// and what it stores and writes when it closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <filesystem>

#include "application_fixture.h"
#include "display_text.h"
#include "document_viewer.h"
#include "kvt/player.h"
#include "main_window.h"

namespace kvt::test {
namespace {

class ApplicationTest : public ApplicationFixture {};

TEST_F(ApplicationTest, AtTheEndWindowsAndViewStateAreStoredAndBothFilesWritten) {
  {
    auto application = started();
    EXPECT_EQ(application->albums().album_num(), 3);  // the samples, the second folder, the user's
    EXPECT_GT(application->albums().fm_num(0), 0);
    application->albums().album_add("Road");
    application->albums().fm_file_add(3, "/music/road.mid");
    application->main_window()->command(1);  // the new album's files
    application->main_window()->command(103);
    _OpenView();
    application->main_window()->setGeometry(60, 70, 500, 380);
    application->document_viewer()->setGeometry(200, 210, 400, 260);
    application->shut_down();
  }
  EXPECT_TRUE(prompts.boxes.empty());
  const app::Settings en = app::load_settings(paths);
  EXPECT_EQ(en.list_mode, 1);
  EXPECT_EQ(en.cur_album, 3);
  EXPECT_EQ(en.doc_visible, 1);
  EXPECT_EQ(en.view_visible, 1);
  EXPECT_EQ(en.main_width, 500);
  EXPECT_EQ(en.main_height, 380);
  EXPECT_EQ(en.doc_width, 400);
  EXPECT_EQ(en.doc_height, 260);
  const std::string album = "[" + frontend::to_shift_jis("その他のデータ(名前は変更してね)") + "]\r\n\r\n[Road]\r\n/music/road.mid\r\n\r\n";
  EXPECT_EQ(read_file(paths.albumfile), Bytes(album.begin(), album.end()));

  // The next start comes back as it was left, with the first configuration.
  app::Settings changed = en;
  changed.cfg_select = 1;
  ASSERT_TRUE(app::save_settings(paths, changed));
  auto again = started();
  EXPECT_EQ(again->settings().cfg_select, 0);
  EXPECT_EQ(again->settings().list_mode, 1);
  EXPECT_EQ(again->albums().cur_album(), 3);
  EXPECT_EQ(again->albums().album_num(), 4);
  EXPECT_TRUE(again->document_viewer()->isVisible());
  EXPECT_EQ(_GetView(), 1);
  again->shut_down();
}

TEST_F(ApplicationTest, ACurrentAlbumThatIsGoneBecomesTheFirst) {
  app::Settings en = app::fresh_settings(paths);
  en.cur_album = 7;
  en.list_mode = 1;
  ASSERT_TRUE(app::make_config_dir(paths));
  ASSERT_TRUE(app::save_settings(paths, en));
  auto application = started();
  EXPECT_EQ(application->albums().cur_album(), 0);
  EXPECT_EQ(application->main_window()->controls().list->count(), application->albums().fm_num(0));
  application->shut_down();
}

TEST_F(ApplicationTest, SettingsThatCannotBeWrittenAreReportedAndTheAlbumsStillSaved) {
  auto application = started();
  std::filesystem::create_directories(paths.inifile);  // a folder where the file should go
  application->shut_down();
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes.front().text, "Can not open " + paths.inifile + "!");
  EXPECT_TRUE(std::filesystem::is_regular_file(paths.albumfile));
}

}  // namespace
}  // namespace kvt::test
