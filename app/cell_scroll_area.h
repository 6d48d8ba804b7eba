// A window content that scrolls in whole character cells: columns of 8
// pixels and rows of 16. The owner sets the ranges on each size change;
// the scroll bars move by one cell a line and by the owner's page.
#pragma once

#include <QAbstractScrollArea>

namespace kvt::app {

class CellScrollArea : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CellScrollArea(QWidget* parent = nullptr);

  int column() const;  // the horizontal position in columns
  int row() const;     // the vertical position in rows
  // New ranges and pages; positions are clamped to the ranges.
  void set_ranges(int columns, int rows, int column_page, int row_page);
};

}  // namespace kvt::app
