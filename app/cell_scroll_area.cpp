#include "cell_scroll_area.h"

#include <QScrollBar>

namespace kvt::app {

CellScrollArea::CellScrollArea(QWidget* parent) : QAbstractScrollArea(parent) {
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
}

int CellScrollArea::column() const { return horizontalScrollBar()->value(); }

int CellScrollArea::row() const { return verticalScrollBar()->value(); }

void CellScrollArea::set_ranges(int columns, int rows, int column_page, int row_page) {
  horizontalScrollBar()->setRange(0, columns);
  horizontalScrollBar()->setPageStep(column_page);
  verticalScrollBar()->setRange(0, rows);
  verticalScrollBar()->setPageStep(row_page);
}

}  // namespace kvt::app
