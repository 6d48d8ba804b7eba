#include "main_controls.h"

#include <QColor>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "app_colours.h"
#include "app_fonts.h"

namespace kvt::app {

namespace {

void colour(QWidget* widget, QPalette::ColorRole text_role, const QColor& text, QPalette::ColorRole back_role,
            const QColor& back) {
  QPalette palette = widget->palette();
  palette.setColor(text_role, text);
  palette.setColor(back_role, back);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

template <class Widget>
Widget* place(QWidget* surface, int id, int x, int y, int width, int height) {
  auto* widget = new Widget(surface);
  widget->setObjectName(QString::number(id));
  widget->setGeometry(x, y, width, height);
  widget->setFont(cell_font());
  return widget;
}

QLabel* label(QWidget* surface, int x, int y, const QColor& text) {
  auto* widget = place<QLabel>(surface, 0, x, y, 430, 16);
  widget->setObjectName(QString());  // statics have no id
  colour(widget, QPalette::WindowText, text, QPalette::Window, kGrey);
  return widget;
}

QPushButton* button(QWidget* surface, int id, int y) {
  auto* widget = place<QPushButton>(surface, id, 470, y, 110, 28);
  widget->setAutoDefault(false);
  return widget;
}

QString translated(const char* text) { return QCoreApplication::translate("MainWindow", text); }

}  // namespace

QPushButton* MainControls::button(int id) const {
  for (QPushButton* b : {choose, stop, document, keyboard, add, remove, rename, help, news_or_back}) {
    if (b != nullptr && b->objectName() == QString::number(id)) return b;
  }
  return nullptr;
}

MainControls make_main_controls(QWidget* surface) {
  MainControls c;
  c.heading = label(surface, 2, 2, kCyan);
  c.heading->setFixedWidth(120);
  c.caption = label(surface, 2, 44, kCyan);
  c.edit = place<QLineEdit>(surface, 102, 20, 20, 430, 22);
  c.edit->setReadOnly(true);  // it shows; nothing reads it back
  colour(c.edit, QPalette::Text, Qt::white, QPalette::Base, kDarkRed);
  c.list = place<QListWidget>(surface, 101, 20, 62, 430, 322);
  c.list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  colour(c.list, QPalette::Text, Qt::white, QPalette::Base, kDarkBlue);
  c.choose = button(surface, 1, 10);
  c.choose->setDefault(true);
  c.stop = button(surface, 110, 50);
  c.stop->setEnabled(false);  // until something plays
  c.document = button(surface, 103, 100);
  c.keyboard = button(surface, 104, 140);
  c.add = button(surface, 107, 190);
  c.remove = button(surface, 105, 230);
  c.rename = button(surface, 109, 270);
  c.help = button(surface, 300, 320);
  c.news_or_back = button(surface, 601, 360);
  c.title_line = label(surface, 2, 384, kGreen);
  return c;
}

void relabel(const MainControls& c, ListMode mode, const QString& album_name) {
  const bool albums = mode == ListMode::albums;
  c.heading->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "アルバム"))
                            : translated(QT_TRANSLATE_NOOP("MainWindow", "演奏ファイル")));
  c.caption->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "アルバムリスト"))
                            : translated(QT_TRANSLATE_NOOP("MainWindow", "ファイルリスト[%1]")).arg(album_name));
  c.choose->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "選択"))
                           : translated(QT_TRANSLATE_NOOP("MainWindow", "演奏")));
  c.stop->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "演奏中止")));
  c.document->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "ドキュメント")));
  c.keyboard->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "鍵盤表示")));
  c.add->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "ｱﾙﾊﾞﾑ作成"))
                        : translated(QT_TRANSLATE_NOOP("MainWindow", "追加")));
  c.remove->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "ｱﾙﾊﾞﾑ削除"))
                           : translated(QT_TRANSLATE_NOOP("MainWindow", "削除")));
  c.rename->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "ｱﾙﾊﾞﾑ名変更"))
                           : translated(QT_TRANSLATE_NOOP("MainWindow", "全削除")));
  c.help->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "ヘルプ")));
  c.news_or_back->setText(albums ? translated(QT_TRANSLATE_NOOP("MainWindow", "最新情報"))
                                 : translated(QT_TRANSLATE_NOOP("MainWindow", "ｱﾙﾊﾞﾑに戻る")));
}

}  // namespace kvt::app
