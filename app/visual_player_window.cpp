#include "visual_player_window.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kvt::app {

VisualPlayerWindow::VisualPlayerWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("KVT97 Visual Player"));
  setFixedSize(kViewWidth, kViewHeight);
  // Closing it only hides it; the main window decides when the program ends.
  setAttribute(Qt::WA_QuitOnClose, false);
  // The picture covers every pixel.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void VisualPlayerWindow::draw(const kvt_view_snapshot& snapshot) {
  picture_.draw(snapshot);
  update();
}

void VisualPlayerWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_.image(), event->rect());
}

void VisualPlayerWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closedByUser();
}

}  // namespace kvt::app
