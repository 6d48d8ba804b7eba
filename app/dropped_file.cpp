#include "dropped_file.h"

#include <QFile>
#include <QList>
#include <QMimeData>
#include <QUrl>
#include <QtGlobal>

namespace kvt::app {

bool carries_files(const QMimeData& data) {
  if (!data.hasUrls()) return false;
  const QList<QUrl> urls = data.urls();
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) return false;
  }
  return !urls.isEmpty();
}

std::optional<std::string> one_dropped_file(const QMimeData& data, UserPrompts& prompts) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() == 1 && urls.front().isLocalFile())
    return QFile::encodeName(urls.front().toLocalFile()).toStdString();
  prompts.inform(QT_TRANSLATE_NOOP("Messages", "1個しか受け付けられません"), "KVT97", BoxIcon::error);
  return std::nullopt;
}

}  // namespace kvt::app
