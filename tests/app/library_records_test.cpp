#include "library_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kvt::app {
namespace {

Settings distinct_settings() {
  Settings en;
  set_path_text(en.pcm_dir1, "/voices/one");
  set_path_text(en.pcm_dir2, "/voices/two*");
  en.play_rate = 1;
  en.play_pan = 1;
  en.play_effect = 0;
  en.play_fade = 2;
  en.play_loop = 2;
  en.wav_rate = 3;
  en.wav_pan = 0;
  en.wav_effect = 1;
  en.wav_fade = 1;
  en.wav_loop = 1;
  en.wav_bits = 16;
  en.midi_reverb = 11;
  en.midi_chorus = 22;
  en.midi_chorus_depth = 5;
  en.midi_volume = -7;
  en.midi_drum_volume = 9;
  return en;
}

// A record full of marks, so that every field left alone shows.
playstruct marked_playstruct() {
  playstruct play;
  std::memset(&play, 0x7F, sizeof play);
  play.bit = 77;
  play.keyboard_flag = 33;
  return play;
}

void expect_dir(const char (&dir)[256], const std::string& text) {
  std::string expected = text;
  expected.resize(256, '\0');
  EXPECT_EQ(std::string(dir, 256), expected);
}

TEST(LibraryRecords, PlaystructTakesThePlayFieldsAndFeedsTheView) {
  playstruct play = marked_playstruct();
  set_playstruct(distinct_settings(), play);
  expect_dir(play.pcm_dir[0], "/voices/one");
  expect_dir(play.pcm_dir[1], "/voices/two*");
  EXPECT_EQ(play.rate_index, 1);
  EXPECT_EQ(play.channel, 1);
  EXPECT_EQ(play.effect_level, 0);
  EXPECT_EQ(play.fade, 2);
  EXPECT_EQ(play.loop, 2);
  EXPECT_EQ(play.bit, 77);
  EXPECT_EQ(play.keyboard_flag, 1);
}

TEST(LibraryRecords, WavstructTakesTheWavFieldsAndLeavesTheViewFlag) {
  playstruct play = marked_playstruct();
  set_wavstruct(distinct_settings(), play);
  expect_dir(play.pcm_dir[0], "/voices/one");
  expect_dir(play.pcm_dir[1], "/voices/two*");
  EXPECT_EQ(play.rate_index, 3);
  EXPECT_EQ(play.channel, 2);
  EXPECT_EQ(play.effect_level, 1);
  EXPECT_EQ(play.fade, 1);
  EXPECT_EQ(play.loop, 1);
  EXPECT_EQ(play.bit, 16);
  EXPECT_EQ(play.keyboard_flag, 33);
}

TEST(LibraryRecords, DirectoryWithoutEndIsEndedForTheLibrary) {
  Settings en = distinct_settings();
  en.pcm_dir1.fill('d');
  playstruct play = marked_playstruct();
  set_playstruct(en, play);
  expect_dir(play.pcm_dir[0], std::string(255, 'd'));
}

TEST(LibraryRecords, ConvstructDoublesTheChorusDepth) {
  mid2kvt_settings conv{};
  set_convstruct(distinct_settings(), conv);
  EXPECT_EQ(conv.reverb, 11);
  EXPECT_EQ(conv.chorus, 22);
  EXPECT_EQ(conv.chorus_strength_x2, 10);
  EXPECT_EQ(conv.volume, -7);
  EXPECT_EQ(conv.drum_volume, 9);
}

}  // namespace
}  // namespace kvt::app
