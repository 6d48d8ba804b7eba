// The visual player's picture, pixel by pixel: the frame, the panels, the
// keyboards of the 17 rows with their black keys and separators, the
// header texts and track names at their boxes, and the dots of keys that
// are down.
#include "view_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "language.h"
#include "pixel_probe.h"

namespace kvt::test {
namespace {

using app::ViewPicture;

struct Probe {
  int x, y;
  std::string colour;
};

void expect_colours(const QImage& image, const std::vector<Probe>& probes) {
  for (const Probe& p : probes) EXPECT_EQ(colour_at(image, p.x, p.y), p.colour) << p.x << "," << p.y;
}

// How many pixels of each colour lie on row y of a keyboard (x 120..568).
std::map<std::string, int> across_keyboard(const QImage& image, int y) {
  std::map<std::string, int> counts;
  for (int x = 120; x < 569; ++x) ++counts[colour_at(image, x, y)];
  return counts;
}

class ViewPictureTest : public testing::Test {
 protected:
  const QImage& drawn() {
    picture.draw(snapshot);
    return picture.image();
  }

  ViewPicture picture;
  kvt_view_snapshot snapshot{};
};

TEST_F(ViewPictureTest, FrameAndPanelsEndAtTheirExclusiveEdges) {
  const QImage& image = picture.image();
  ASSERT_EQ(image.size(), QSize(640, 400));
  expect_colours(image, {
                            // The frame (0, 0, 641, 401): only its top and left sides are on the surface.
                            {0, 0, kBlack},
                            {639, 0, kBlack},
                            {0, 399, kBlack},
                            {1, 1, kGrey},
                            {639, 399, kGrey},
                            {639, 1, kGrey},
                            {1, 399, kGrey},
                            // Header (4, 4, 637, 53), names (4, 56, 117, 397), right (572, 56, 637, 397).
                            {4, 4, kDarkBlue},
                            {636, 52, kDarkBlue},
                            {3, 4, kGrey},
                            {4, 3, kGrey},
                            {637, 52, kGrey},
                            {636, 53, kGrey},
                            {4, 56, kDarkBlue},
                            {116, 396, kDarkBlue},
                            {117, 200, kGrey},
                            {4, 397, kGrey},
                            {4, 55, kGrey},
                            {572, 56, kDarkBlue},
                            {636, 396, kDarkBlue},
                            {600, 200, kDarkBlue},
                            {571, 56, kGrey},
                            {637, 56, kGrey},
                            {600, 397, kGrey},
                            // Keyboards (120, 56, 569, 397).
                            {119, 100, kGrey},
                            {569, 100, kGrey},
                            {120, 55, kGrey},
                            {120, 397, kGrey},
                        });
  // The keyboard panel shows between the rows and below the last one.
  for (const int y : {75, 95, 375, 395, 396}) {
    EXPECT_EQ(across_keyboard(image, y), (std::map<std::string, int>{{kDarkBlue, 449}})) << y;
  }
}

TEST_F(ViewPictureTest, KeyboardRowsHaveWhiteAndBlackKeysAndGreySeparators) {
  const QImage& image = picture.image();
  for (const int r : {0, 8, 16}) {
    const int top = 56 + 20 * r;
    // White keys 9 wide at an 8-pixel pitch make one band 19 pixels high.
    EXPECT_EQ(across_keyboard(image, top + 18), (std::map<std::string, int>{{kWhite, 449}})) << r;
    // 40 black keys of 5 pixels, 12 high; the tall separators start a pixel down.
    EXPECT_EQ(across_keyboard(image, top), (std::map<std::string, int>{{kBlack, 200}, {kWhite, 249}})) << r;
    EXPECT_EQ(across_keyboard(image, top + 11),
              (std::map<std::string, int>{{kBlack, 200}, {kSeparatorGrey, 16}, {kWhite, 233}}))
        << r;
    // Below the black keys, a separator at each white key's right edge.
    std::set<int> grey, expected;
    for (int x = 120; x < 569; ++x) {
      if (colour_at(image, x, top + 12) == kSeparatorGrey) grey.insert(x);
    }
    for (int o = 0; o < 8; ++o) {
      for (const int x : {127, 135, 143, 151, 159, 167, 175}) expected.insert(56 * o + x);
    }
    EXPECT_EQ(grey, expected) << r;
    EXPECT_EQ(across_keyboard(image, top + 17), (std::map<std::string, int>{{kSeparatorGrey, 56}, {kWhite, 393}}));
    for (const int o : {0, 3, 7}) {
      const int x0 = 56 * o;
      std::vector<Probe> probes;
      for (const int left : {126, 134, 150, 158, 166}) {
        probes.insert(probes.end(), {{x0 + left, top, kBlack},
                                     {x0 + left + 4, top + 11, kBlack},
                                     {x0 + left + 5, top + 5, kWhite},
                                     {x0 + left - 1, top + 5, kWhite}});
      }
      probes.insert(probes.end(), {{x0 + 121, top + 5, kWhite},
                                   {x0 + 127, top + 11, kBlack},
                                   {x0 + 127, top + 12, kSeparatorGrey},
                                   {x0 + 143, top, kWhite},
                                   {x0 + 143, top + 1, kSeparatorGrey},
                                   {x0 + 175, top + 17, kSeparatorGrey}});
      expect_colours(image, probes);
    }
  }
}

struct Dot {
  int row, key, left, top;  // the dot's top-left corner
  std::string key_colour;
};

const Dot kDots[] = {
    {0, 0, 122, 68, kWhite},   {0, 1, 126, 61, kBlack},    {16, 0, 122, 388, kWhite}, {16, 1, 126, 381, kBlack},
    {3, 12, 178, 128, kWhite}, {3, 13, 182, 121, kBlack},  {5, 95, 562, 168, kWhite}, {9, 94, 558, 241, kBlack},
    {7, 52, 362, 208, kWhite}, {11, 66, 430, 281, kBlack},
};

TEST_F(ViewPictureTest, KeysDownShowRedDotsAndReleasedKeysTheirOwnColour) {
  for (const Dot& d : kDots) snapshot.lit[d.row][d.key] = 1;
  const QImage lit = drawn();
  int red = 0;
  for (int y = 0; y < 400; ++y) red += across_keyboard(lit, y)[kRed];
  EXPECT_EQ(red, 5 * 6 * static_cast<int>(std::size(kDots)));
  for (const Dot& d : kDots) {
    const std::string key = std::to_string(d.row) + "/" + std::to_string(d.key);
    EXPECT_EQ(colour_at(lit, d.left, d.top), kRed) << key;
    EXPECT_EQ(colour_at(lit, d.left + 4, d.top + 5), kRed) << key;
    snapshot.lit[d.row][d.key] = 0;
  }
  const QImage& released = drawn();
  for (const Dot& d : kDots) EXPECT_EQ(colour_at(released, d.left + 2, d.top + 3), d.key_colour) << d.key;
  EXPECT_EQ(released, ViewPicture().image());
}

template <std::size_t N>
void put(char (&field)[N], const char* bytes) {
  std::strncpy(field, bytes, N - 1);
}

TEST_F(ViewPictureTest, HeaderTextsStandInTheirBoxes) {
  put(snapshot.file_line, "File  : /songs/demo.kvt");               // 23 cells
  put(snapshot.title_line, "Title : \x83\x65\x83\x58\x83\x67");     // 8 cells and 3 wide characters
  put(snapshot.rate_label, "44.10KHz");                             // x 300
  put(snapshot.channel_label, "\x83\x58\x83\x65\x83\x8c\x83\x49");  // x 380, 4 wide characters
  put(snapshot.effect_label, "Effect=1");                           // x 460
  const QImage& image = drawn();
  for (const QRect& text : {QRect(4, 4, 184, 16), QRect(68, 20, 48, 16), QRect(300, 36, 64, 16), QRect(380, 36, 64, 16),
                            QRect(460, 36, 64, 16)}) {
    EXPECT_GT(text_pixels(image, text), 30) << text.x() << "," << text.y();
  }
  for (const QRect& blank : {QRect(188, 4, 440, 16), QRect(116, 20, 500, 16), QRect(4, 36, 296, 16),
                             QRect(364, 36, 16, 16), QRect(444, 36, 16, 16), QRect(524, 36, 100, 16)}) {
    EXPECT_EQ(text_pixels(image, blank), 0) << blank.x() << "," << blank.y();
  }
}

TEST_F(ViewPictureTest, ChannelLabelSpeaksTheLanguageOfTheWindows) {
  const QRect label(380, 36, 64, 16);
  put(snapshot.channel_label, "\x83\x58\x83\x65\x83\x8c\x83\x49");
  const QImage japanese = drawn().copy(label);
  kvt_view_snapshot english_label{};
  put(english_label.channel_label, "Stereo");
  ViewPicture plain;
  plain.draw(english_label);
  const QImage stereo = plain.image().copy(label);
  ASSERT_NE(japanese, stereo);

  app::Translations translations;
  translations.apply(app::Language::english);
  ViewPicture in_english;
  in_english.draw(snapshot);
  translations.apply(app::Language::japanese);
  EXPECT_EQ(in_english.image().copy(label), stereo);
}

TEST_F(ViewPictureTest, TrackNamesStandInTheirRowsNarrowWhenLong) {
  put(snapshot.names[2], "ABCDEFGHIJKLMN");         // 14 cells of 8 pixels end at x 115
  put(snapshot.names[9], "ABCDEFGHIJKLMNOP");       // 16 of 7 pixels as well
  put(snapshot.names[16], "ABCDEFGHIJKLMNOPQRST");  // stops at the box (x 118)
  snapshot.narrow[9] = 1;
  const auto box = [](int r) { return QRect(4, 57 + 20 * r, 115, 16); };
  const QImage& image = drawn();
  EXPECT_EQ(text_pixels(image, box(1)), 0);
  EXPECT_EQ(text_pixels(image, QRect(4, 56, 113, 1)), 0);
  for (const int r : {2, 9}) {
    EXPECT_GE(rightmost_text(image, box(r)), 108) << r;
    EXPECT_LE(rightmost_text(image, box(r)), 115) << r;
  }
  EXPECT_GE(rightmost_text(image, box(16)), 112);
  for (int y = 377; y < 393; ++y) EXPECT_EQ(colour_at(image, 119, y), kGrey) << y;
  snapshot.narrow[2] = 1;
  const QImage& narrowed = drawn();
  EXPECT_GE(rightmost_text(narrowed, box(2)), 94);  // 14 cells of 7 pixels end at x 101
  EXPECT_LE(rightmost_text(narrowed, box(2)), 101);
}

TEST_F(ViewPictureTest, AnySequenceOfStatesEndsAsTheLastStateDrawnAfresh) {
  for (int step = 0; step < 40; ++step) {
    snapshot.lit[step % 17][(step * 37) % 96] ^= 1;
    if (step % 13 == 0) put(snapshot.names[step % 17], step % 2 == 0 ? "Bass" : "Strings and more");
    if (step % 9 == 0) put(snapshot.file_line, step % 2 == 0 ? "File  : /a.kvt" : "");
    snapshot.narrow[step % 17] = std::strlen(snapshot.names[step % 17]) > 14;
    drawn();
  }
  ViewPicture fresh;
  fresh.draw(snapshot);
  EXPECT_EQ(picture.image(), fresh.image());
}

}  // namespace
}  // namespace kvt::test
