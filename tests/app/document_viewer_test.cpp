// The document viewer as a window: white text on dark blue in three
// blocks at their places, tab stops, scrolling by columns and lines,
// closing that only hides, and files dropped on it.
#include "document_viewer.h"

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "document_layout.h"
#include "pixel_probe.h"
#include "recorded_prompts.h"

namespace kvt::test {
namespace {

using app::DocumentViewer;

// The first line of each block at scroll position (0, 0).
const QRect kStatusBand(4, 4, 300, 16);
const QRect kTitleBand(4, 22, 300, 16);
const QRect kTextBand(4, 40, 300, 16);

class DocumentViewerTest : public testing::Test {
 protected:
  DocumentViewerTest() {
    state.status = "Using : /home/user/kvt97.cfb";
    state.title = "Title : Song";
    state.text = "First line of the document";
    viewer.resize(500, 300);
    viewer.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&viewer));
  }

  QImage picture() { return viewer.viewport()->grab().toImage(); }
  // Drops `urls` on the window; true when the drag was taken.
  bool drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewer.viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewer.viewport(), &dropped);
    return dropped.isAccepted();
  }

  app::AppState state;
  RecordedPrompts prompts;
  DocumentViewer viewer{state, prompts};
};

TEST_F(DocumentViewerTest, DrawsTheThreeBlocksInWhiteOnDarkBlue) {
  EXPECT_TRUE(viewer.isWindow());
  EXPECT_EQ(viewer.windowTitle(), "KVT97 Document Viewer");
  QImage image = picture();
  EXPECT_EQ(colour_at(image, 0, 0), kDarkBlue);
  EXPECT_EQ(colour_at(image, image.width() - 1, image.height() - 1), kDarkBlue);
  for (const QRect& band : {kStatusBand, kTitleBand, kTextBand}) EXPECT_GT(text_pixels(image, band), 20) << band.y();
  EXPECT_EQ(text_pixels(image, QRect(0, 0, 500, 4)), 0);      // above the status line
  EXPECT_EQ(text_pixels(image, QRect(0, 0, 4, 300)), 0);      // left of the blocks
  EXPECT_EQ(text_pixels(image, QRect(100, 22, 400, 16)), 0);  // past the title's 12 cells
  EXPECT_EQ(text_pixels(image, QRect(0, 56, 500, 250)), 0);   // the text has one line
  state.text.clear();
  viewer.refresh();
  image = picture();
  EXPECT_GT(text_pixels(image, kTitleBand), 20);
  EXPECT_EQ(text_pixels(image, QRect(0, 40, 500, 260)), 0);
}

TEST_F(DocumentViewerTest, TextLinesAre16PixelsApartWithTabStopsEvery8Columns) {
  state.text = "\tX\r\nAB\tX\nABCDEFG\tX";
  viewer.refresh();
  const QImage image = picture();
  const std::pair<int, int> kTabs[] = {{0, 0}, {1, 2}, {2, 7}};  // line, characters before its tab
  for (const auto& [line, before] : kTabs) {
    const int top = 40 + 16 * line;
    EXPECT_EQ(text_pixels(image, QRect(4 + 8 * before, top, 64 - 8 * before, 16)), 0) << before;
    EXPECT_GT(text_pixels(image, QRect(68, top, 8, 16)), 5) << before;
  }
  EXPECT_EQ(text_pixels(image, QRect(0, 88, 500, 200)), 0);
}

TEST_F(DocumentViewerTest, ScrollRangesAndStepsFollowTheClientArea) {
  QScrollBar& across = *viewer.horizontalScrollBar();
  QScrollBar& down = *viewer.verticalScrollBar();
  for (const QSize size : {QSize(800, 1000), QSize(300, 500), QSize(500, 300)}) {
    viewer.resize(size);
    QCoreApplication::processEvents();
    const auto expected = app::document_scroll(viewer.viewport()->width(), viewer.viewport()->height());
    EXPECT_EQ(across.maximum(), expected.columns) << size.width();
    EXPECT_EQ(down.maximum(), expected.lines) << size.height();
    EXPECT_EQ(down.pageStep(), expected.line_page);
    EXPECT_EQ(across.pageStep(), 8);
  }
  const int page = viewer.viewport()->height() / 16;
  down.triggerAction(QAbstractSlider::SliderSingleStepAdd);
  down.triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(down.value(), 1 + page);
  down.triggerAction(QAbstractSlider::SliderPageStepSub);
  down.triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(down.value(), 0);
  down.setValue(1000);
  EXPECT_EQ(down.value(), 129 - page);
  across.triggerAction(QAbstractSlider::SliderPageStepAdd);
  across.triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(across.value(), 7);
}

TEST_F(DocumentViewerTest, ScrollingMovesTheBlocksByCellsAndLines) {
  const QImage still = picture();
  viewer.verticalScrollBar()->setValue(1);
  viewer.horizontalScrollBar()->setValue(2);
  const QImage moved = picture();
  EXPECT_EQ(moved.copy(0, 0, 300, 100), still.copy(16, 16, 300, 100));  // 16 pixels up and left
  EXPECT_EQ(text_pixels(moved, kTextBand), 0);
}

TEST_F(DocumentViewerTest, ClosingHidesTheWindowAndReopeningShowsTheSame) {
  const QImage before = picture();
  QSignalSpy closed(&viewer, &DocumentViewer::closedByUser);
  EXPECT_TRUE(viewer.close());
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_FALSE(viewer.testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_EQ(closed.count(), 1);
  viewer.show();
  EXPECT_EQ(picture(), before);
}

TEST_F(DocumentViewerTest, OneDroppedFileIsTaken) {
  QSignalSpy dropped(&viewer, &DocumentViewer::fileDropped);
  EXPECT_TRUE(drop({QUrl::fromLocalFile("/home/user/songs/曲.mid")}));
  ASSERT_EQ(dropped.count(), 1);
  EXPECT_EQ(dropped.front().front().toString(), "/home/user/songs/曲.mid");
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(DocumentViewerTest, SeveralFilesAreRefusedWithAnErrorBoxAndOtherDragsNotTaken) {
  QSignalSpy dropped(&viewer, &DocumentViewer::fileDropped);
  EXPECT_FALSE(drop({QUrl("https://example.com/a.mid")}));
  EXPECT_FALSE(drop({}));
  EXPECT_TRUE(prompts.boxes.empty());
  EXPECT_TRUE(drop({QUrl::fromLocalFile("/songs/a.mid"), QUrl::fromLocalFile("/songs/b.mid")}));
  EXPECT_EQ(dropped.count(), 0);
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes[0].text, "1個しか受け付けられません");
  EXPECT_EQ(prompts.boxes[0].caption, "KVT97");
  EXPECT_EQ(prompts.boxes[0].icon, app::BoxIcon::error);
}

}  // namespace
}  // namespace kvt::test
