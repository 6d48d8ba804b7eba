#include "help_viewer.h"

#include <QEvent>
#include <QFileInfo>
#include <QUrl>

namespace kvt::app {

HelpViewer::HelpViewer(const std::string& doc_dir, QWidget* parent) : QTextBrowser(parent), doc_dir_(doc_dir) {
  retitle();
  setOpenExternalLinks(true);
  resize(720, 560);
}

void HelpViewer::retitle() { setWindowTitle(tr("KVT97 ヘルプ")); }

void HelpViewer::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retitle();
  QTextBrowser::changeEvent(event);
}

bool HelpViewer::show_document(const std::string& name) {
  const QString path = QString::fromStdString(doc_dir_ + "/" + name);
  const QFileInfo file(path);
  const bool readable = file.isFile() && file.isReadable();
  if (readable) {
    setSource(QUrl::fromLocalFile(file.absoluteFilePath()), QTextDocument::MarkdownResource);
  } else {
    setPlainText(QStringLiteral("The help document %1 cannot be read: %2.")
                     .arg(path, file.exists() ? QStringLiteral("it is not a readable file")
                                              : QStringLiteral("it is missing")));
  }
  show();
  raise();
  activateWindow();
  return readable;
}

}  // namespace kvt::app
