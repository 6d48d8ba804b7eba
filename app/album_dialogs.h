// The two small dialogs of albums: the name of a new album, and the new
// name of an album. Both give the name as the album buffer stores it.
#pragma once

#include <QDialog>
#include <cstddef>
#include <optional>
#include <string>

class QLineEdit;

namespace kvt::app {

inline constexpr std::size_t kAlbumNameMax = 255;  // stored bytes of a typed name

enum class AlbumDialogKind { create, rename };

// Buttons "終了" (object name "1", accepts) and "キャンセル" ("2", rejects);
// the field is named "602" in the create dialog and "603" in the rename one.
class AlbumNameDialog : public QDialog {
 public:
  // The create dialog starts empty, the rename dialog with
  // `current_name_bytes` (stored bytes, shown as text).
  AlbumNameDialog(AlbumDialogKind kind, const std::string& current_name_bytes, QWidget* owner = nullptr);

  // The field's first line as stored: Shift-JIS when it can be, cut to the
  // whole characters that fit in 255 bytes. May be empty.
  std::string name_bytes() const;

 private:
  QLineEdit* field_;
};

// The create dialog; the new name, or nothing when cancelled.
std::optional<std::string> ask_new_album_name(QWidget* owner);
// The rename dialog; the new name, or nothing when cancelled.
std::optional<std::string> ask_album_rename(const std::string& current_name_bytes, QWidget* owner);

}  // namespace kvt::app
