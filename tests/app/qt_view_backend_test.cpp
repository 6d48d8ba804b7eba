// The visual player's backend: the library makes, shows, hides, places
// and destroys the window through it, and the changes it reports from its
// own threads become one refresh on the GUI thread, drawn from a snapshot.
#include "qt_view_backend.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "pixel_probe.h"
#include "visual_player_window.h"

namespace kvt::test {
namespace {

using app::QtViewBackend;

// The default player's window, made through an installed backend.
class ViewExportsTest : public testing::Test {
 protected:
  ViewExportsTest() { backend.install(); }
  ~ViewExportsTest() override { _DestroyView(); }

  QtViewBackend backend;
};

TEST_F(ViewExportsTest, SetViewMakesTheWindowAtItsPlaceShownOrHidden) {
  ASSERT_EQ(_set_view(30, 40, 0), 1);
  ASSERT_NE(backend.window(), nullptr);
  EXPECT_FALSE(backend.window()->isVisible());
  ASSERT_EQ(_set_view(100, 120, 1), 1);
  EXPECT_TRUE(backend.window()->isVisible());
  EXPECT_EQ(backend.window()->pos(), QPoint(100, 120));
  EXPECT_EQ(backend.window()->windowTitle(), "KVT97 Visual Player");
  kvt_view_snapshot snapshot{};
  kvt_view_snapshot_get(&snapshot);
  app::ViewPicture library;
  library.draw(snapshot);
  EXPECT_EQ(backend.window()->picture(), library.image());
}

TEST_F(ViewExportsTest, TheCloseBoxHidesTheWindowAndOpenViewShowsItAgain) {
  ASSERT_EQ(_set_view(10, 10, 1), 1);
  app::VisualPlayerWindow* const window = backend.window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(_GetView(), 1);
  window->close();
  EXPECT_EQ(backend.window(), window);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(_GetView(), 0);
  _OpenView();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(_GetView(), 1);
}

TEST_F(ViewExportsTest, DestroyViewKeepsTheWindowsLastPosition) {
  ASSERT_EQ(_set_view(50, 60, 1), 1);
  backend.window()->move(210, 220);
  _DestroyView();
  EXPECT_EQ(backend.window(), nullptr);
  EXPECT_EQ(_GetLeftView(), 210);
  EXPECT_EQ(_GetTopView(), 220);
  _OpenView();  // no window: nothing to show, nothing breaks
}

// A library stand-in whose picture the backend takes.
class ViewBackendTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(calls.create(calls.context, 0, 0, 0), 1); }

  template <typename Change>
  void change(Change change) {
    std::lock_guard<std::mutex> hold(lock);
    change(library);
  }
  // Calls from a thread of the library's, finished before it returns.
  template <typename Calls>
  void from_library_thread(Calls run) {
    std::thread([&] { run(calls); }).join();
  }

  std::mutex lock;
  kvt_view_snapshot library{};
  std::atomic<int> taken{0};
  QtViewBackend backend{[this](kvt_view_snapshot* out) {
    std::lock_guard<std::mutex> hold(lock);
    *out = library;
    ++taken;
  }};
  const kvt_view_backend calls = backend.callbacks();
};

TEST_F(ViewBackendTest, ChangesFromALibraryThreadBecomeOneRefreshOnTheGuiThread) {
  EXPECT_EQ(taken, 1);  // when the window was made
  change([](kvt_view_snapshot& s) {
    s.lit[0][0] = s.lit[16][95] = 1;
    std::strcpy(s.names[0], "Piano");
  });
  from_library_thread([](const kvt_view_backend& c) {
    for (int i = 0; i < 100; ++i) c.set_dot(c.context, 0, 0);
    c.reset_dot(c.context, 0, 1);
    c.track_name(c.context, 0, "Piano", 5, 0);
    c.header(c.context, "", "", "", "", "");
    c.repaint(c.context);
  });
  EXPECT_EQ(colour_at(backend.window()->picture(), 122, 68), kWhite);  // not before the GUI thread draws
  QCoreApplication::processEvents();
  EXPECT_EQ(taken, 2);
  const QImage& picture = backend.window()->picture();
  EXPECT_EQ(colour_at(picture, 122, 68), kRed);
  EXPECT_EQ(colour_at(picture, 562, 388), kRed);
  EXPECT_GT(text_pixels(picture, QRect(4, 57, 40, 16)), 20);
  EXPECT_FALSE(backend.window()->isVisible());  // hidden, and still up to date
  from_library_thread([](const kvt_view_backend& c) { c.repaint(c.context); });
  QCoreApplication::processEvents();
  EXPECT_EQ(taken, 3);  // the next change posts again
}

TEST_F(ViewBackendTest, ARefreshForADestroyedWindowOrBackendIsDropped) {
  from_library_thread([](const kvt_view_backend& c) { c.set_dot(c.context, 0, 0); });
  calls.destroy(calls.context);
  QCoreApplication::processEvents();
  EXPECT_EQ(taken, 1);
  int left = -1, top = -1;
  calls.position(calls.context, &left, &top);  // no window: left as they were
  EXPECT_EQ(left, -1);
  std::atomic<int> orphans{0};
  {
    QtViewBackend gone([&](kvt_view_snapshot*) { ++orphans; });
    const kvt_view_backend c = gone.callbacks();
    c.create(c.context, 0, 0, 0);
    std::thread([&] { c.set_dot(c.context, 0, 0); }).join();
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(orphans, 1);
}

}  // namespace
}  // namespace kvt::test
