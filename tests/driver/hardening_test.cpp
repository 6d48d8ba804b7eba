// Damaged or hostile song and voice images: the driver never reads outside
// them, never spins, and plays what is intact.
#include <gtest/gtest.h>

#include "render_expect.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

constexpr std::uint8_t kKey = 36;

// Every slot of an exact-size song copy is checked by AddressSanitizer in
// the sanitizer build; here the results are checked too.
int play_blocks(Harness& h, int blocks) {
  int r = 0;
  for (int i = 0; i < blocks; ++i) r = h.play();
  return r;
}

TEST(Hardening, PartStartingOutsideTheImageEnds) {
  Bytes song = make_song({48, 1, false, {{kKey, 1, 0xFF}}});
  song[0x10] = 0xF0, song[0x11] = 0xFF;
  Harness h(song, {{0, dc_voice(100)}});
  EXPECT_EQ(h.part(0).ended, 1);
  EXPECT_EQ(h.play(), -1);
}

TEST(Hardening, PartTableBeyondTheImage) {
  Bytes song = make_song({48, 1, false, {{kKey, 200, 0xFF}}});
  song[0x07] = 0x10, song[0x08] = 0x02;  // 256 entries: the rest read part data, then nothing
  Harness h(song, {{0, dc_voice(100)}});
  EXPECT_EQ(h.play(), 0);
  EXPECT_EQ(h.play(), -1);
}

TEST(Hardening, ShortHeaderMeansNoParts) {
  Harness h(Bytes{'K', 'V', 'T', 'M', 48, 1}, {{0, dc_voice(100)}});
  EXPECT_EQ(h.play(), -1);
}

TEST(Hardening, TruncatedEventsEndThePart) {
  for (const Bytes& part : {Bytes{kKey}, Bytes{0x6D}, Bytes{kKey, 4, 0x75}, Bytes{0x76, 1, 0, 3},
                            Bytes{0xE7, 1, 0, 5, 1}, Bytes{0xFD, 200, 1, 2}, Bytes{kKey, 1}}) {
    Harness h(make_song({48, 1, false, {part}}), {{0, dc_voice(100)}});
    EXPECT_EQ(play_blocks(h, 2), -1) << int(part[0]) << " x" << part.size();
  }
}

TEST(Hardening, TruncatedEffectCommandsChangeNoUnit) {
  Harness h(make_song({48, 1, false, {{0x7D, 0, 0, 128, 0, 10, 0, 0}}}), {{0, dc_voice(100)}}, {0, 2, 2, 1});
  EXPECT_FALSE(h.ctx().chorus[0].active);
  Harness r(make_song({48, 1, false, {{0x7C, 100, 0, 10}}}), {{0, dc_voice(100)}}, {0, 2, 2, 1});
  EXPECT_EQ(r.ctx().reverb.level, 0);
  Harness t(make_song({48, 3, false, {{0x71, 9}}}), {{0, dc_voice(100)}});
  EXPECT_EQ(t.ctx().song_tempo, 48);
}

TEST(Hardening, LoopPointDirectlyBeforeTheEndEndsThePart) {
  Harness h(make_song({48, 1, false, {{0x79, 0xFF}, {0x79, 0x79, 0xFF}}}), {{0, dc_voice(100)}});
  EXPECT_EQ(h.part(0).ended, 1);
  EXPECT_EQ(h.part(1).ended, 1);
}

TEST(Hardening, LoopsWithoutNotesEndThePart) {
  Bytes nested;
  for (int i = 0; i < 16; ++i) nested.insert(nested.end(), {0x60, 0});
  nested.push_back(0x69), nested.push_back(0);
  for (int i = 0; i < 16; ++i) nested.push_back(0x61);
  nested.insert(nested.end(), {kKey, 1, 0xFF});
  const std::vector<Bytes> spinners = {
      {0x63, 0x65},                   // calls itself
      {0x79, 0x6D, 1, 0xFF},          // loops over a command
      nested,                         // 256^16 passes
  };
  for (const Bytes& part : spinners) {
    Harness h(make_song({48, 1, false, {part, {0x79, kKey, 1, 0xFF}}}), {{0, dc_voice(100)}});
    EXPECT_EQ(h.part(0).ended, 1);
    EXPECT_EQ(h.play(), 128);  // part 2 plays on
  }
}

TEST(Hardening, EndlessLoopsEndAtOnceWithoutStarvingOtherParts) {
  // 239 parts loop for ever over 514 commands; the last part plays on.
  std::vector<Bytes> parts(239, Bytes{0x79, 0x60, 0, 0x6D, 1, 0x61, 0xFF});
  parts.push_back({0x79, kKey, 1, 0xFF});
  Harness h(make_song({48, 1, false, parts}), {{0, dc_voice(100)}});
  EXPECT_EQ(h.part(0).ended, 1);
  EXPECT_EQ(h.part(238).ended, 1);
  EXPECT_EQ(h.play(), 128);
}

TEST(Hardening, CommandFloodsInEveryPartEndTheSongInsteadOfStallingIt) {
  // Every part runs almost 2^24 commands before each of its notes.
  const Bytes flood = {0x79, 0x60, 0, 0x60, 0, 0x60, 126, 0x6E, 0, 0x61, 0x61, 0x61, kKey, 1, 0xFF};
  Harness h(make_song({48, 1, false, std::vector<Bytes>(240, flood)}), {{0, dc_voice(100)}});
  EXPECT_EQ(play_blocks(h, 2), -1);
}

TEST(Hardening, CallWithoutATargetAndStrayRepeatEndsAreIgnored) {
  Harness h(make_song({48, 1, false, {{0x65, 0x64, 0x61, 0x62, 0x6D, 200, kKey, 1, 0xFF}}}), {{0, dc_voice(100)}});
  EXPECT_EQ(h.part(0).volume, 200);
  EXPECT_EQ(h.part(0).ended, 0);
}

TEST(Hardening, UnusableVoicesAreEmptySlots) {
  VoiceParams base;
  base.samples.assign(100, 5000);
  Bytes short_data = make_voice(base);
  short_data.resize(short_data.size() - 2);  // the appended sample is missing
  Bytes bad_class = make_voice(base);
  bad_class[0x0B] = 11;
  Bytes bad_loop = make_voice(base);
  bad_loop[0x08] = 101;
  Bytes empty_looped = make_voice(base);
  empty_looped[0x06] = 0;
  empty_looped[0x08] = 1;  // loop start 1 in a voice without samples
  Bytes huge = make_voice(base);
  huge[0x40] = 0x00, huge[0x41] = 0x01;  // 2^24 + 100 samples claimed
  for (const Bytes& voice : {short_data, bad_class, bad_loop, empty_looped, huge, Bytes(0x80, 0)}) {
    Harness h(make_song({48, 1, false, {{0x6D, 255, kKey, 100, 0xFF}}}), {{0, voice}});
    EXPECT_FALSE(h.part(0).has_voice());
    for (std::int16_t s : h.render(1)) ASSERT_EQ(s, 0);
  }
}

TEST(Hardening, StartAtAnEmptyLoopIsSilent) {
  VoiceParams v;
  v.samples.assign(100, 5000);
  v.loop_start = 100;
  Harness h(make_song({48, 1, false, {{0x6D, 255, 0xE2, 1, kKey, 100, 0xFF}}}), {{0, make_voice(v)}});
  for (std::int16_t s : h.render(1)) ASSERT_EQ(s, 0);
}

TEST(Hardening, ExtremeModulationStaysInsideTheVoice) {
  // Detune -8192 makes the step negative, i.e. huge as a 16.16 value: the
  // position wraps through a one-sample loop without spinning.
  VoiceParams v;
  v.samples.assign(100, 5000);
  v.loop_start = 99;
  for (std::uint8_t hi : {0xE0, 0x7F}) {
    Harness h(make_song({48, 1, false, {{0x6D, 255, 0x7E, 0x00, hi, kKey, 100, 0xFF}}}), {{0, make_voice(v)}});
    h.render(2);
    EXPECT_LT(h.part(0).pos, 100u);
  }
}

TEST(Hardening, LongReverbDelayIsLimitedToItsMemory) {
  Harness h(make_song({48, 1, false, {{0x7C, 200, 200, 0xFF, 0xFF, 0, 0x6D, 255, kKey, 100, 0xFF}}}),
            {{0, dc_voice(100)}}, {0, 2, 2, 1});
  EXPECT_EQ(h.ctx().reverb.length, 8192u);
  play_blocks(h, 8);
}

TEST(Hardening, OutOfRangeInputsAreTamed) {
  Harness h(make_song({48, 1, false, {{0x6D, 255, kKey, 255, 0xFF}}}), {{0, dc_voice(100)}});
  h.ctx().sb16 = 9;
  h.ctx().effect_level = 7;
  h.ctx().fade_speed = -3;
  h.init();
  EXPECT_EQ(h.ctx().rate_factor, 16);
  EXPECT_EQ(h.ctx().effects, 2);
  EXPECT_GE(h.play(), 0);
  h.ctx().buffer = nullptr;
  h.init();
  EXPECT_EQ(h.play(), 0);  // nothing rendered, nothing advanced
}

}  // namespace
}  // namespace kvt::test
