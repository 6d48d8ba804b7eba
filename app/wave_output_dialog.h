// The progress dialog of WAVE output: the rendering runs on the player
// library's worker while this dialog polls it, so the window stays
// responsive. A finished rendering keeps the dialog open with its last
// line until the user presses the button; pressed earlier, the button
// cancels and the shorter file is kept.
#pragma once

#include <QDialog>

#include "kvt/player.h"

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kvt::app {

class WaveOutputDialog : public QDialog {
  Q_OBJECT

 public:
  // Takes over `render`, which must have started.
  explicit WaveOutputDialog(kvt_render* render, QWidget* parent = nullptr);
  ~WaveOutputDialog() override;

  // Asks the worker to stop; the dialog closes once it has.
  void cancel();
  // How the rendering ended (KVT_RENDER_...), once the dialog has closed.
  int outcome() const { return outcome_; }

 protected:
  void reject() override;  // the close box, Escape and the button

 private:
  void poll();
  void finish();

  kvt_render* render_;
  QPlainTextEdit* progress_;
  QPushButton* button_;
  QTimer* timer_;
  bool done_ = false;
  bool closing_ = false;
  int outcome_ = KVT_RENDER_NO_FILE;
};

}  // namespace kvt::app
