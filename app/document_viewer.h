// The document viewer: a second top-level window that shows the status
// line, the song title and the song's document or the converters' log on
// dark blue, scrolling by 8-pixel columns and 16-pixel lines.
#pragma once

#include <QString>

#include "cell_scroll_area.h"

#include "app_state.h"
#include "user_prompts.h"

namespace kvt::app {

class DocumentViewer : public CellScrollArea {
  Q_OBJECT

 public:
  // Shows `state` as it is at each repaint; both outlive the viewer.
  DocumentViewer(const AppState& state, UserPrompts& prompts, QWidget* parent = nullptr);

  // Draws the state again (after a conversion or a play start).
  void refresh();

 signals:
  // The user closed the window: it is hidden, not destroyed.
  void closedByUser();
  // The one file dropped on the window.
  void fileDropped(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void update_ranges();

  const AppState& state_;
  UserPrompts& prompts_;
};

}  // namespace kvt::app
