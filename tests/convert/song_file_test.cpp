// The song file as a whole: header, part table, voice list, title, key
// table, the messages of a conversion, and every way a conversion fails.
#include <cstring>
#include <filesystem>

#include "convert_fixture.h"
#include "midi_config.h"

namespace kvt::test {
namespace {

// One note on channel 1: key 60 (the high split of program 0), 48 ticks.
Bytes one_note(int format = 0) {
  return smf_file(format, 48, {smf_track({note_on(0, 1, 60), note_off(48, 1, 60)})});
}

// What the first note of a part writes with the default channel state:
// volume code and gain, then the voice, detune and vibrato of its program.
// Centre pan, no modulation, no detune and no rate offsets are what a new
// part has already.
Bytes first_note_commands() {
  return {0x6D, 0xF2, 0xE9, 0xE7, 0x5A, 0x73, 0x00, 0x78, 0x10, 0x77, 0x00, 0x76, 0x04, 0x00, 0x01, 0x00, 0x01, 0x00};
}

using SongFile = ConvertTest;

TEST_F(SongFile, OneNoteSongIsExact) {
  ASSERT_EQ(convert(one_note()), 0) << messages;
  const Bytes header{'K', 'V', 'T', 'M', 0x18, 0x1C, 0x00, 0x10, 0x02, 0x01, 0x80, 0x10, 0x0E, 0x0F, 0x0F, 0xFF};
  EXPECT_EQ(Bytes(song.begin(), song.begin() + 16), header);
  ASSERT_EQ(part_count(), 2);
  EXPECT_EQ(song[0x10], 0x01);  // the conductor at 4112
  EXPECT_EQ(song[0x11], 0x01);
  // Every part ends with a rest of 255 ticks, so the last notes die away.
  EXPECT_EQ(part(0), (Bytes{0x7F, 0x01, 0xE3, 0x0A, 0x75, 0xFF, 0xFF}));
  Bytes opening = channel_opening(1, "");
  opening.pop_back();  // the opening rest lasted no time
  EXPECT_EQ(part(1), cat({opening, first_note_commands(), {0x24, 0x30, 0x75, 0xFF, 0xFF}}));
  // The voice list: one record at 1040, slot 0 "high"; key byte 0xC0 + 12.
  EXPECT_EQ(song[528], 0x10);
  EXPECT_EQ(song[529], 0x04);
  EXPECT_EQ(Bytes(song.begin() + 1040, song.begin() + 1046), (Bytes{0x00, 'h', 'i', 'g', 'h', 0x00}));
  EXPECT_EQ(song[3855], 0xCC);
  EXPECT_EQ(song[3856], 0xFF);
  EXPECT_EQ(song[3600], 0xFF) << "no track name, no title";
}

TEST_F(SongFile, TrackZeroNamesTheSongOtherTracksNameTheirKeyGroups) {
  const Bytes midi = smf_file(1, 48,
                              {smf_track({track_name(0, "Title"), track_name(0, "Later")}),
                               smf_track({track_name(0, "Strings and more"), note_on(0, 2, 60), note_off(48, 2, 60)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(Bytes(song.begin() + 3600, song.begin() + 3606), (Bytes{5, 'T', 'i', 't', 'l', 'e'}));
  const Bytes name{'S', 't', 'r', 'i', 'n', 'g', 's', ' ', 'a', 'n', 'd', ' ', 'm', 'o', 'r', 'e'};
  EXPECT_EQ(part(0), cat({{0x7F, 0x01, 0xE3, 0x0A, 0xFE, 0x00, 0xFD, 0x10}, name, {0x75, 0xFF, 0xFF}}));
  EXPECT_NE(messages.find("\"Title\"\n\"Later\"\n\"Strings and more\"\n"), std::string::npos) << messages;
}

TEST_F(SongFile, ANulInATrackNameIsLeftOutOfTheMessagesOnly) {
  const std::string name("Ab\0cd", 5);
  ASSERT_EQ(convert(smf_file(1, 48, {smf_track({}), smf_track({track_name(0, name)})})), 0) << messages;
  EXPECT_NE(messages.find("\"Abcd\"\n"), std::string::npos) << messages;
  const Bytes p = part(0);
  EXPECT_EQ(Bytes(p.begin() + 6, p.begin() + 13), (Bytes{0xFD, 0x05, 'A', 'b', 0x00, 'c', 'd'})) << "the song keeps it";
}

TEST_F(SongFile, ALongTitleStopsShortOfTheSlotKeys) {
  const std::string title(300, 'T');
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track({track_name(0, title), note_on(0, 1, 60), note_off(48, 1, 60)})})), 0)
      << messages;
  EXPECT_EQ(song[3600], 254);
  EXPECT_EQ(std::string(song.begin() + 3601, song.begin() + 3855), title.substr(0, 254));
  EXPECT_EQ(song[3855], 0xCC) << "slot 0's key";
}

TEST_F(SongFile, AnEmptySequenceNumberIsSkipped) {
  ASSERT_EQ(convert(smf_file(0, 48, {smf_track({meta(0, 0x00, {}), meta(0, 0x00, {0, 7}), note_on(0, 1, 60),
                                                 note_off(48, 1, 60)})})),
            0)
      << messages;
  EXPECT_EQ(messages.find("abnormal"), std::string::npos) << messages;
  EXPECT_EQ(part_count(), 2);
}

TEST_F(SongFile, MessagesOfASuccessfulConversion) {
  ASSERT_EQ(convert(one_note()), 0);
  const std::string expected_start = ".mid->.kvt Converter Ver1.56 ... '" + (dir / "in.mid") + "'\n\n";
  EXPECT_EQ(messages.substr(0, expected_start.size()), expected_start);
  EXPECT_NE(messages.find("trk  0 [   12]     0 \n"), std::string::npos) << messages;
  EXPECT_NE(messages.find(".\n.\n\n\n"), std::string::npos) << "one dot per part, a line per channel slot";
  EXPECT_EQ(messages.substr(messages.size() - 25), "\n2 Channels in KVT File\n\n");
}

TEST_F(SongFile, TempoAndTimeSignatureGoToTheConductor) {
  const Bytes midi = smf_file(0, 96, {smf_track({tempo(0, 500000), meta(96, 0x58, {3, 2, 24, 8}), tempo(96, 1000000)})});
  ASSERT_EQ(convert(midi), 0) << messages;
  EXPECT_EQ(song[5], 0x1C);
  EXPECT_EQ(part(0), (Bytes{0x7F, 0x01, 0xE3, 0x0A, 0x71, 0x1C, 0x00, 0x75, 0x30, 0xFB, 0x30, 0x00, 0x03, 0x04,
                            0x75, 0x30, 0x71, 0x39, 0x00, 0x75, 0xFF, 0xFF}));
}

TEST_F(SongFile, EffectsOpenTheConductor) {
  settings = {90, 100, 3, 0, 0};
  ASSERT_EQ(convert(one_note()), 0);
  const Bytes reverb{0x7C, 90, 0x7F, 117, 0, 0};
  const Bytes unit0 = {0xE6, 0, 0, 0xFF, 0x7D, 0, 0, 100, 0, 13, 0, 2, 144, 1, 0, 0x7D, 0, 1, 90, 0, 29, 0, 2, 108, 1, 0};
  const Bytes unit1 = {0xE6, 0, 0, 0xFF, 0x7D, 1, 0, 100, 0, 13, 0, 2, 144, 1, 0};
  EXPECT_EQ(part(0), cat({reverb, unit0, unit1, {0x7F, 0x01, 0xE3, 0x0A, 0x75, 0xFF, 0xFF}}));
}

TEST_F(SongFile, ReadErrorsStopWithTheirMessages) {
  struct Case {
    Bytes midi;
    const char* message;
  };
  const Bytes track = smf_track({note_on(0, 1, 60)});
  Bytes long_header = smf_file(0, 48, {track});
  long_header[7] = 7;
  Bytes many = smf_file(1, 48, {track});
  many[10] = 1;
  const Case cases[] = {
      {{'M', 'T'}, "Gee... It's not SMF!\n"},
      {{'R', 'I', 'F', 'F', 0, 0}, "Gee... It's not SMF!\n"},
      {long_header, "ERROR! abnormal block length\n"},
      {smf_file(2, 48, {track}), "ERROR! This format is not supported. (2)\n"},
      {smf_file(0x100, 48, {track}), "ERROR! This format is not supported. (10)\n"},
      {many, "ERROR! too many tracks.\n"},
      {smf_file(0, 48, {smf_track({meta(0, 0x2F, {1})}, false)}), "abnormal code 'FF 2F 1'\n"},
      {smf_file(0, 48, {smf_track({meta(0, 0x51, {1, 2})})}), "abnormal code 'FF 51 2'\n"},
      {smf_file(0, 48, {smf_track({meta(0, 0x58, {1})})}), "abnormal code 'FF 58 1'\n"},
      {smf_file(0, 48, {smf_track({meta(0, 0x20, {1, 2})})}), "abnormal code 'FF 20 2'\n"},
      {smf_file(0, 48, {smf_track({meta(0, 0x00, {1})})}), "abnormal code 'FF 00 1'\n"},
      {smf_file(0, 0, {track}), "ERROR! abnormal timebase (0)\n"},
      {smf_file(0, 0xE200, {track}), "ERROR! abnormal timebase (0)\n"},  // 30 frames of no ticks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(convert(c.midi), 1);
    EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kvt"));
  }
}

TEST_F(SongFile, OddTracksEndWithoutHanging) {
  // A track that opens with an undefined system byte, then plain data.
  const Bytes odd = smf_file(1, 48, {smf_track({track_name(0, "")}), smf_track({{0, {0xF1, 0x10, 0x20}}})});
  ASSERT_EQ(convert(odd), 0) << messages;
  EXPECT_NE(messages.find("abnormal code 'f1'\n"), std::string::npos) << messages;
  EXPECT_EQ(song[3600], 0) << "an empty first name is an empty title";
  // Data with no status at all, and a track cut short in a note.
  const Bytes cut = smf_file(1, 48, {smf_track({{0, {0x40, 0x40}}}, false), smf_track({{0, {0x90, 0x40}}}, false)});
  EXPECT_EQ(convert(cut), 0) << messages;
}

TEST_F(SongFile, AFailedConversionKeepsTheEarlierSong) {
  const std::string out = dir.write("out.kvt", {'o', 'l', 'd'});
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const std::string mid = dir.write("in.mid", {'n', 'o', 'n', 'e'});
  char text[4096] = "";
  EXPECT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), out.c_str(), &settings, nullptr, text, sizeof text), 1);
  EXPECT_EQ(read_file(out), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.entries().size(), 3u) << "in.mid, test.cfb, out.kvt and nothing else";
}

TEST_F(SongFile, FilesThatCannotBeOpened) {
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const std::string mid = dir.write("in.mid", one_note());
  char text[4096] = "";
  EXPECT_EQ(mid2kvt_convert((dir / "none.mid").c_str(), cfg.c_str(), "", &settings, nullptr, text, sizeof text), 1);
  EXPECT_NE(std::string(text).find("ERROR! Unable to open " + (dir / "none.mid") + "\nERROR! File open error '" +
                                   (dir / "none.mid") + "'\n"),
            std::string::npos)
      << text;
  text[0] = '\0';
  EXPECT_EQ(mid2kvt_convert(mid.c_str(), (dir / "none.cfb").c_str(), "", &settings, nullptr, text, sizeof text), 1);
  EXPECT_NE(std::string(text).find("File open error '" + (dir / "none.cfb") + "'"), std::string::npos) << text;
  text[0] = '\0';
  const std::string bad_out = dir / "missing/out.kvt";
  EXPECT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), bad_out.c_str(), &settings, nullptr, text, sizeof text), 1);
  EXPECT_NE(std::string(text).find("File open error '" + bad_out + "'"), std::string::npos) << text;
  const std::string damaged = dir.write("damaged.cfb", Bytes(0x30, 0x7F));
  EXPECT_EQ(mid2kvt_convert(mid.c_str(), damaged.c_str(), "", &settings, nullptr, text, sizeof text), 1);
  EXPECT_NE(std::string(text).find("abnormal configuration file"), std::string::npos) << text;
}

TEST_F(SongFile, AnEmptyOutputPathIsDerivedFromTheMidiPath) {
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const std::string mid = dir.write("dir.x/song.mid", one_note());
  char text[4096] = "";
  ASSERT_EQ(_mid2kvt(mid.c_str(), cfg.c_str(), "", 0, 0, 2, 0, 0, nullptr, text), 0) << text;
  EXPECT_TRUE(std::filesystem::exists(dir / "dir.x/song.kvt"));
}

TEST_F(SongFile, TheMessageBufferIsNeverOverrun) {
  char text[64];
  std::memset(text, 'z', sizeof text);
  text[0] = '\0';
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const std::string mid = dir.write("in.mid", one_note());
  ASSERT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), "", &settings, nullptr, text, 32), 0);
  EXPECT_EQ(std::strlen(text), 31u);
  EXPECT_EQ(text[32], 'z');
}

TEST_F(SongFile, TheViewIsRepaintedWhileItRuns) {
  struct Count {
    int erase = 0, plain = 0;
  } count;
  const kvt_message_view view{[](void* user, int erase) {
                                auto* c = static_cast<Count*>(user);
                                (erase ? c->erase : c->plain)++;
                              },
                              &count};
  const std::string cfg = dir.write("test.cfb", midi_test_config());
  const std::string mid = dir.write("in.mid", one_note());
  char text[8192] = "";
  ASSERT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), "", &settings, &view, text, sizeof text), 0);
  EXPECT_EQ(count.erase, 2);
  EXPECT_EQ(count.plain, 17);
}

}  // namespace
}  // namespace kvt::test
