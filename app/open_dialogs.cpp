#include "open_dialogs.h"

#include <QDir>
#include <QFile>

#include "dialog_text.h"

namespace kvt::app {

namespace {

// A typed dialog's pattern is its one filter and its first file name; the
// generic dialog starts with the song data's.
QString pattern_of(OpenKind kind) {
  switch (kind) {
    case OpenKind::mml:
      return QStringLiteral("*.mml");
    case OpenKind::midi:
      return QStringLiteral("*.mid");
    case OpenKind::rcp:
      return QStringLiteral("*.rcp");
    case OpenKind::song:
    case OpenKind::any:
      break;
  }
  return QStringLiteral("*.kvt");
}

QStringList filters_of(OpenKind kind) {
  if (kind != OpenKind::any) return {pattern_of(kind)};
  return {dialog_text(QT_TRANSLATE_NOOP("Dialogs", "KVTﾃﾞｰﾀ (*.kvt)")),
          dialog_text(QT_TRANSLATE_NOOP("Dialogs", "MIDIﾃﾞｰﾀ (*.mid)")),
          dialog_text(QT_TRANSLATE_NOOP("Dialogs", "WAVﾃﾞｰﾀ (*.wav)")),
          dialog_text(QT_TRANSLATE_NOOP("Dialogs", "MMLﾃﾞｰﾀ (*.mml)")),
          dialog_text(QT_TRANSLATE_NOOP("Dialogs", "RCPﾃﾞｰﾀ (*.rcp)"))};
}

// Paths are bytes in the file system's encoding.
QString local_path(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

std::unique_ptr<QFileDialog> OpenDialogs::make(OpenKind kind, const Settings& en, const std::string& chosen,
                                               QWidget* owner) const {
  // Qt's own dialog behaves the same on every desktop.
  auto dialog = std::make_unique<QFileDialog>(owner);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setFileMode(QFileDialog::ExistingFile);
  // Songs come from systems where letter case does not count: "*.kvt"
  // must find SONG.KVT too.
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  const QStringList filters = filters_of(kind);
  dialog->setNameFilters(filters);
  dialog->selectNameFilter(kind == OpenKind::any && !any_filter_.isEmpty() ? any_filter_ : filters.front());
  dialog->setDirectory(local_path(path_text(en.last_dir)));
  dialog->selectFile(chosen.empty() ? pattern_of(kind) : local_path(chosen));
  return dialog;
}

void OpenDialogs::accept_path(OpenKind kind, const std::string& path, const std::string& selected_filter, Settings& en,
                              std::string& chosen) {
  chosen = path;
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos) {
    // The root keeps its "/": an empty directory would mean the current one.
    const std::string dir = slash == 0 ? std::string("/") : path.substr(0, slash);
    // A cut directory would name another folder.
    if (dir.size() < kSettingsPathSize) set_path_text(en.last_dir, dir);
  }
  if (kind == OpenKind::any) any_filter_ = QString::fromUtf8(selected_filter);
}

bool OpenDialogs::choose(OpenKind kind, Settings& en, std::string& chosen, QWidget* owner) {
  const std::unique_ptr<QFileDialog> dialog = make(kind, en, chosen, owner);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return false;
  accept_path(kind, QFile::encodeName(dialog->selectedFiles().front()).toStdString(),
              dialog->selectedNameFilter().toUtf8().toStdString(), en, chosen);
  return true;
}

}  // namespace kvt::app
