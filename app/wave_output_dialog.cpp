#include "wave_output_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app_fonts.h"
#include "dialog_text.h"
#include "display_text.h"
#include "library_log.h"

namespace kvt::app {

namespace {
constexpr int kPollMs = 20;
constexpr std::size_t kProgressSize = 8192;
}  // namespace

WaveOutputDialog::WaveOutputDialog(kvt_render* render, QWidget* parent)
    : QDialog(parent), render_(render), progress_(new QPlainTextEdit(this)), button_(new QPushButton(this)),
      timer_(new QTimer(this)) {
  setWindowTitle(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "waveへの変換")));
  setFont(cell_font());
  progress_->setObjectName(QStringLiteral("610"));
  progress_->setReadOnly(true);
  progress_->setMinimumSize(440, 80);
  button_->setObjectName(QStringLiteral("1"));
  button_->setText(dialog_text(QT_TRANSLATE_NOOP("Dialogs", "キャンセル")));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progress_);
  layout->addWidget(button_, 0, Qt::AlignRight);
  connect(button_, &QPushButton::clicked, this, &WaveOutputDialog::reject);
  connect(timer_, &QTimer::timeout, this, &WaveOutputDialog::poll);
  timer_->start(kPollMs);
}

WaveOutputDialog::~WaveOutputDialog() { finish(); }

void WaveOutputDialog::poll() {
  std::string text(kProgressSize, '\0');
  done_ = kvt_render_poll(render_, text.data(), text.size()) == 1;
  text.resize(std::char_traits<char>::length(text.c_str()));
  const QString shown = QString::fromStdString(player_text_in_window_language(frontend::to_utf8(text)));
  if (progress_->toPlainText() != shown) progress_->setPlainText(shown);
  if (done_) {
    timer_->stop();
    if (closing_) {
      finish();
      QDialog::reject();
    }
  }
}

void WaveOutputDialog::cancel() {
  closing_ = true;
  if (done_) {
    finish();
    QDialog::reject();
    return;
  }
  kvt_render_cancel(render_);  // the next polls see it end
}

void WaveOutputDialog::reject() { cancel(); }

void WaveOutputDialog::finish() {
  if (render_ == nullptr) return;
  outcome_ = kvt_render_finish(render_);
  render_ = nullptr;
}

}  // namespace kvt::app
