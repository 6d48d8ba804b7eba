// The controls of the main window: an album list that turns into the
// file list of one album, its edit field and captions, the column of
// buttons and the title line, each at its place on a 600 × 400 surface and
// named by its id (the object name) so that commands can find it.
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace kvt::app {

enum class ListMode { albums = 0, files = 1 };

inline constexpr int kSurfaceWidth = 600;
inline constexpr int kSurfaceRows = 25;

struct MainControls {
  QLabel* heading = nullptr;     // "アルバム" or "演奏ファイル"
  QLabel* caption = nullptr;     // "アルバムリスト" or "ファイルリスト[...]"
  QLineEdit* edit = nullptr;     // 102: the current album or file
  QListWidget* list = nullptr;   // 101
  QPushButton* choose = nullptr;        // 1
  QPushButton* stop = nullptr;          // 110
  QPushButton* document = nullptr;      // 103
  QPushButton* keyboard = nullptr;      // 104
  QPushButton* add = nullptr;           // 107
  QPushButton* remove = nullptr;        // 105
  QPushButton* rename = nullptr;        // 109
  QPushButton* help = nullptr;          // 300
  QPushButton* news_or_back = nullptr;  // 601
  QLabel* title_line = nullptr;  // the selected song's title

  // The buttons with their ids, for connecting them to commands.
  QPushButton* button(int id) const;
};

// Makes the controls on `surface`, in the font and colours of the window.
MainControls make_main_controls(QWidget* surface);

// The texts of the labels and buttons for a list mode, in the language
// installed now; `album_name` is the current album's name for the file
// list's caption.
void relabel(const MainControls& controls, ListMode mode, const QString& album_name);

}  // namespace kvt::app
