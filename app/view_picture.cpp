#include "view_picture.h"

#include <QPainter>
#include <QRect>
#include <QString>
#include <cstring>
#include <string_view>

#include "app_colours.h"
#include "app_fonts.h"
#include "display_text.h"
#include "library_log.h"

namespace kvt::app {

namespace {

const QColor& kBackground = kDarkGrey;
const QColor& kPanel = kDarkBlue;
const QColor& kSeparator = kGrey;
const QColor& kDot = kRed;

// A rectangle by its edges, the right and bottom ones exclusive.
QRect span(int left, int top, int right, int bottom) { return {left, top, right - left, bottom - top}; }

const QRect kPanels[] = {
    span(4, 4, 637, 53),      // header
    span(4, 56, 117, 397),    // track names
    span(120, 56, 569, 397),  // keyboards
    span(572, 56, 637, 397),  // right, left empty
};

// One keyboard row every 20 pixels from y 56; offsets below are from the
// row's top.
constexpr int kRowTop = 56;
constexpr int kRowPitch = 20;
constexpr int kKeyboardLeft = 120;
constexpr int kOctaveWidth = 56;  // seven white keys at an 8-pixel pitch
constexpr int kOctaves = 8;
constexpr int kWhiteKeys = 7 * kOctaves;
constexpr int kWhitePitch = 8;
constexpr int kWhiteWidth = 9;  // neighbours overlap by one pixel
constexpr int kWhiteHeight = 19;
constexpr int kBlackLefts[] = {126, 134, 150, 158, 166};  // in the first octave
constexpr int kBlackWidth = 5;
constexpr int kBlackHeight = 12;

// The grey line between two white keys: short under a black key, from the
// row's second pixel between E and F and between B and C.
struct Separator {
  int x;  // in the first octave
  int top;
};
constexpr Separator kSeparators[] = {{127, 12}, {135, 12}, {143, 1}, {151, 12}, {159, 12}, {167, 12}, {175, 1}};
constexpr int kSeparatorBottom = 18;

// Dots of the twelve keys of the first octave in row 0.
constexpr int kDotX[12] = {122, 126, 130, 134, 138, 146, 150, 154, 158, 162, 166, 170};
constexpr int kDotY[12] = {68, 61, 68, 61, 68, 68, 61, 68, 61, 68, 61, 68};
constexpr int kDotWidth = 5;
constexpr int kDotHeight = 6;

constexpr bool black_key(int key) {
  const int n = key % 12;
  return n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
}

// Header texts and the track names' box.
constexpr QPoint kFileLine(4, 4);
constexpr QPoint kTitleLine(4, 20);
constexpr QPoint kRateLabel(300, 36);
constexpr QPoint kChannelLabel(380, 36);
constexpr QPoint kEffectLabel(460, 36);
constexpr int kNameLeft = 4;
constexpr int kNameRight = 119;
constexpr int kNameTop = 57;
constexpr double kNarrowScale = 7.0 / 8.0;  // 7-pixel characters

template <std::size_t N>
std::string_view text_of(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

bool same_texts(const kvt_view_snapshot& a, const kvt_view_snapshot& b) {
  for (int r = 0; r < KVT_VIEW_ROWS; ++r) {
    if (text_of(a.names[r]) != text_of(b.names[r]) || a.narrow[r] != b.narrow[r]) return false;
  }
  return text_of(a.file_line) == text_of(b.file_line) && text_of(a.title_line) == text_of(b.title_line) &&
         text_of(a.rate_label) == text_of(b.rate_label) && text_of(a.channel_label) == text_of(b.channel_label) &&
         text_of(a.effect_label) == text_of(b.effect_label);
}

// `utf8` with the top-left of its first cell at `at`.
void draw_utf8(QPainter& painter, QPoint at, const std::string& utf8) {
  painter.drawText(at.x(), at.y() + painter.fontMetrics().ascent(), QString::fromStdString(utf8));
}

// Bytes of the library (Shift-JIS).
void draw_text(QPainter& painter, QPoint at, std::string_view bytes) { draw_utf8(painter, at, frontend::to_utf8(bytes)); }

// A label of the player, in the language of the windows.
void draw_label(QPainter& painter, QPoint at, std::string_view bytes) {
  draw_utf8(painter, at, player_text_in_window_language(frontend::to_utf8(bytes)));
}

}  // namespace

ViewPicture::ViewPicture() : image_(kViewWidth, kViewHeight, QImage::Format_RGB32) {
  QPainter painter(&image_);
  draw_background(painter);
}

void ViewPicture::draw(const kvt_view_snapshot& snapshot) {
  QPainter painter(&image_);
  const bool whole = !same_texts(snapshot, shown_);
  if (whole) {
    draw_background(painter);
    draw_texts(painter, snapshot);
  }
  for (int r = 0; r < KVT_VIEW_ROWS; ++r) {
    for (int k = 0; k < KVT_VIEW_KEYS; ++k) {
      const bool lit = snapshot.lit[r][k] != 0;
      if (whole ? lit : lit != (shown_.lit[r][k] != 0)) draw_dot(painter, r, k, lit);
    }
  }
  shown_ = snapshot;
}

void ViewPicture::draw_background(QPainter& painter) {
  // The frame is the rectangle (0, 0, 641, 401): its right and bottom
  // sides lie off the surface.
  painter.fillRect(image_.rect(), kBackground);
  painter.fillRect(span(0, 0, kViewWidth, 1), Qt::black);
  painter.fillRect(span(0, 0, 1, kViewHeight), Qt::black);
  for (const QRect& panel : kPanels) painter.fillRect(panel, kPanel);
  for (int r = 0; r < KVT_VIEW_ROWS; ++r) {
    const int top = kRowTop + kRowPitch * r;
    for (int j = 0; j < kWhiteKeys; ++j) {
      painter.fillRect(QRect(kKeyboardLeft + kWhitePitch * j, top, kWhiteWidth, kWhiteHeight), Qt::white);
    }
    for (int o = 0; o < kOctaves; ++o) {
      for (const int left : kBlackLefts) {
        painter.fillRect(QRect(left + kOctaveWidth * o, top, kBlackWidth, kBlackHeight), Qt::black);
      }
    }
    for (int o = 0; o < kOctaves; ++o) {
      for (const Separator& s : kSeparators) {
        painter.fillRect(span(s.x + kOctaveWidth * o, top + s.top, s.x + kOctaveWidth * o + 1, top + kSeparatorBottom),
                         kSeparator);
      }
    }
  }
}

void ViewPicture::draw_texts(QPainter& painter, const kvt_view_snapshot& snapshot) {
  painter.setFont(cell_font());
  painter.setPen(Qt::white);
  draw_text(painter, kFileLine, text_of(snapshot.file_line));
  draw_text(painter, kTitleLine, text_of(snapshot.title_line));
  draw_text(painter, kRateLabel, text_of(snapshot.rate_label));
  draw_label(painter, kChannelLabel, text_of(snapshot.channel_label));
  draw_text(painter, kEffectLabel, text_of(snapshot.effect_label));
  for (int r = 0; r < KVT_VIEW_ROWS; ++r) {
    const int top = kNameTop + kRowPitch * r;
    // A name longer than its box stops at the box rather than covering
    // the keyboard.
    painter.save();
    painter.setClipRect(span(kNameLeft, top, kNameRight, top + kCellHeight));
    painter.translate(kNameLeft, top);
    if (snapshot.narrow[r] != 0) painter.scale(kNarrowScale, 1.0);
    draw_text(painter, {0, 0}, text_of(snapshot.names[r]));
    painter.restore();
  }
}

void ViewPicture::draw_dot(QPainter& painter, int row, int key, bool lit) {
  const int n = key % 12;
  const QRect dot(kDotX[n] + kOctaveWidth * (key / 12), kDotY[n] + kRowPitch * row, kDotWidth, kDotHeight);
  painter.fillRect(dot, lit ? kDot : black_key(key) ? QColor(Qt::black) : QColor(Qt::white));
}

}  // namespace kvt::app
