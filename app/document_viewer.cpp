#include "document_viewer.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include "app_colours.h"
#include "app_fonts.h"
#include "document_layout.h"
#include "dropped_file.h"

namespace kvt::app {

namespace {

const QColor& kBackground = kDarkBlue;
constexpr int kTabStop = 8 * kCellWidth;

// One line with its top-left cell at `origin`, tab stops every 8 columns
// from the origin. Nothing clips it but the window.
void draw_line(QPainter& painter, QPoint origin, const std::string& line) {
  const QFontMetrics metrics = painter.fontMetrics();
  const QStringList pieces = QString::fromStdString(line).split(QLatin1Char('\t'));
  int x = 0;
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (i > 0) x = (x / kTabStop + 1) * kTabStop;
    painter.drawText(origin.x() + x, origin.y() + metrics.ascent(), pieces[i]);
    x += metrics.horizontalAdvance(pieces[i]);
  }
}

}  // namespace

DocumentViewer::DocumentViewer(const AppState& state, UserPrompts& prompts, QWidget* parent)
    : CellScrollArea(parent), state_(state), prompts_(prompts) {
  setWindowFlag(Qt::Window);
  setWindowTitle(QStringLiteral("KVT97 Document Viewer"));
  // Closing it only hides it; the main window decides when the program ends.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFrameShape(QFrame::NoFrame);
  setAcceptDrops(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Base, kBackground);
  viewport()->setPalette(palette);
  update_ranges();
}

void DocumentViewer::refresh() { viewport()->update(); }

void DocumentViewer::update_ranges() {
  const DocumentScroll scroll = document_scroll(viewport()->width(), viewport()->height());
  set_ranges(scroll.columns, scroll.lines, kColumnPage, scroll.line_page);
}

void DocumentViewer::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), kBackground);
  painter.setPen(Qt::white);
  painter.setFont(cell_font());
  const int left = kBlockLeft - kCellWidth * column();
  const int top = -kCellHeight * row();
  const DocumentLines lines = document_lines(state_);
  draw_line(painter, {left, kStatusTop + top}, lines.status);
  draw_line(painter, {left, kTitleTop + top}, lines.title);
  for (std::size_t i = 0; i < lines.text.size(); ++i) {
    const int y = kTextTop + top + kCellHeight * static_cast<int>(i);
    if (y >= viewport()->height()) break;
    if (y > -kCellHeight) draw_line(painter, {left, y}, lines.text[i]);
  }
}

void DocumentViewer::resizeEvent(QResizeEvent* event) {
  CellScrollArea::resizeEvent(event);
  update_ranges();
}

// Columns and lines are whole cells, so the picture is drawn again at the
// new offsets rather than shifted.
void DocumentViewer::scrollContentsBy(int, int) { viewport()->update(); }

void DocumentViewer::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closedByUser();
}

void DocumentViewer::dragEnterEvent(QDragEnterEvent* event) {
  if (carries_files(*event->mimeData())) event->acceptProposedAction();
}

void DocumentViewer::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  if (const auto path = one_dropped_file(*event->mimeData(), prompts_))
    emit fileDropped(QFile::decodeName(path->c_str()));
}

}  // namespace kvt::app
