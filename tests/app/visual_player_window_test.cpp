// The visual player window: its fixed 640 × 400 client area showing the
// whole picture (dots too) whenever it repaints, and closing that only
// hides it.
#include "visual_player_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <cstring>

#include "pixel_probe.h"

namespace kvt::test {
namespace {

class VisualPlayerWindowTest : public testing::Test {
 protected:
  VisualPlayerWindowTest() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  app::VisualPlayerWindow window;
};

TEST_F(VisualPlayerWindowTest, HasItsCaptionAndAFixedClientArea) {
  EXPECT_TRUE(window.isWindow());
  EXPECT_EQ(window.windowTitle(), "KVT97 Visual Player");
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  window.resize(800, 600);
  EXPECT_EQ(window.size(), QSize(640, 400));
  EXPECT_EQ(window.maximumSize(), QSize(640, 400));
}

TEST_F(VisualPlayerWindowTest, RepaintingShowsTheWholePictureWithItsDots) {
  kvt_view_snapshot snapshot{};
  snapshot.lit[0][0] = 1;
  std::strcpy(snapshot.names[0], "Piano");
  window.draw(snapshot);
  const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, window.picture());
  EXPECT_EQ(colour_at(shown, 122, 68), kRed);
  EXPECT_GT(text_pixels(shown, QRect(4, 57, 40, 16)), 20);
}

TEST_F(VisualPlayerWindowTest, ClosingHidesItWithoutDestroyingIt) {
  QSignalSpy closed(&window, &app::VisualPlayerWindow::closedByUser);
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(window.testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_EQ(closed.count(), 1);
}

}  // namespace
}  // namespace kvt::test
