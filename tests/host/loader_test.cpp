// Loading a song and its voices: messages, the voice search, the in-memory
// voice images and the title line.
#include <gtest/gtest.h>

#include <cstring>

#include "host_fixture.h"
#include "loader.h"

namespace kvt::test {
namespace {

const Bytes kPart = {0x73, 0, 0x6D, 240, 36, 48, 0xFF};

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() {
    player.ui.callbacks.context = this;
    player.ui.callbacks.message = [](void* self, const char* text, int icon) {
      static_cast<LoaderTest*>(self)->messages.push_back({text, icon});
    };
    player.tit = title;
  }

  int load(const std::string& song, const playstruct& settings) {
    return host::fm_and_kvw(player, song.c_str(), settings);
  }
  int load(const Bytes& song) { return load(dir.write("song.kvt", song), settings_for(dir / "voices")); }

  void expect_nothing_loaded() const {
    EXPECT_FALSE(player.loaded());
    for (const auto& voice : player.kvw) EXPECT_EQ(voice.bytes, nullptr);
    EXPECT_EQ(player.driver->fm, nullptr);
    EXPECT_EQ(player.driver->kvw[0], KVT_EMPTY_VOICE);
  }

  void expect_one_message(const std::string& text, int icon = KVT_ICON_NONE) const {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, text);
    EXPECT_EQ(messages[0].icon, icon);
  }

  ScratchDir dir;
  host::Player player;
  char title[256] = {};
  std::vector<Shown> messages;
};

Bytes song_naming(const std::string& voice, std::uint8_t slot = 0) {
  return make_song({48, 28, false, {kPart}}, {{{slot, voice}}, std::nullopt});
}

TEST_F(LoaderTest, SongFailuresShowOneMessageAndLeaveNothing) {
  struct Case {
    const char* what;
    Bytes song;
  };
  Bytes short_voice_list = song_naming("tone");
  short_voice_list[0x09] = 40;  // list runs past the file
  Bytes record_outside = song_naming("tone");
  record_outside[0x07] = 0x10;  // list at the part table: its word points far away
  record_outside[0x10] = 0xF0;
  record_outside[0x11] = 0xFF;
  Bytes unterminated = song_naming("tone");
  unterminated.pop_back();
  Bytes title_outside = make_song({48, 28, false, {kPart}}, {{}, Bytes{200, 'a', 'b'}});
  const Case cases[] = {
      {"wrong magic", Bytes{'K', 'V', 'T', 'X', 48, 28, 0, 0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"empty file", Bytes{}},
      {"header cut short", Bytes{'K', 'V', 'T', 'M', 48, 28, 0}},
      {"voice list past the end", short_voice_list},
      {"voice record outside", record_outside},
      {"voice name not terminated", unterminated},
      {"title past the end", title_outside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    EXPECT_EQ(load(c.song), 1);
    expect_one_message("Not FM data: Format Error!");
    expect_nothing_loaded();
  }
}

TEST_F(LoaderTest, MissingSongNamesItsPath) {
  const std::string path = dir / "absent.kvt";
  EXPECT_EQ(load(path, settings_for(dir / "voices")), 1);
  expect_one_message(path + " is not found.");
  messages.clear();
  EXPECT_EQ(load(dir.path().string(), settings_for("")), 1);  // a directory is no song
  expect_one_message(dir.path().string() + " is not found.");
}

TEST_F(LoaderTest, VoiceFailuresShowOneMessageAndLeaveNothing) {
  const ToneSong tone = tone_song({kPart});
  Bytes bad_magic = tone.voice;
  bad_magic[3] = 'X';
  Bytes loop_outside = tone.voice;
  loop_outside[0x08] = 101;  // 100 samples
  struct Case {
    const char* what;
    std::optional<Bytes> voice;
    std::string message;
  };
  const Case cases[] = {
      {"missing", std::nullopt, "tone is not found.\nPlease Check PCM data Directory."},
      {"bad magic", bad_magic, "Not KVW data: Format Error!"},
      {"loop point outside", loop_outside, "Not KVW data: Format Error!"},
      {"shorter than a header", Bytes(100, 0), "Not KVW data: Format Error!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    std::filesystem::remove_all(dir / "voices");
    if (c.voice) dir.write("voices/tone.kvw", *c.voice);
    EXPECT_EQ(load(tone.song), 1);
    expect_one_message(c.message);
    expect_nothing_loaded();
  }
}

TEST_F(LoaderTest, SongWithoutVoicesNeedsNoDirectory) {
  EXPECT_EQ(load(dir.write("song.kvt", make_song({48, 28, false, {kPart}})), settings_for("")), 0);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(player.loaded());
  EXPECT_EQ(player.kvw_total, 0);
  EXPECT_EQ(player.driver->fm, player.fm.bytes.get());
}

TEST_F(LoaderTest, VoiceNamesBecomeFileNamesBlindToCase) {
  const ToneSong tone = tone_song({kPart});
  dir.write("voices/Tone.KVW", tone.voice);
  dir.write("voices/abcdefgh.kvw", tone.voice);
  for (const std::string name : {"tone", "TONE", "tone.kvw", "TONE.PCM", "abcdefghij", "ABCDEFGH.xyz"}) {
    SCOPED_TRACE(name);
    messages.clear();
    EXPECT_EQ(load(song_naming(name)), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(player.kvw[0].bytes, nullptr);
  }
  for (const std::string name : {"ton", "tone.k", "../voices/tone", "abcdefgi"}) {
    SCOPED_TRACE(name);
    messages.clear();
    EXPECT_EQ(load(song_naming(name)), 1);
    expect_one_message(name + " is not found.\nPlease Check PCM data Directory.");
  }
}

TEST_F(LoaderTest, DirectorySettings) {
  const ToneSong tone = tone_song({kPart});
  dir.write("b/voices_2/tone.kvw", tone.voice);
  dir.write("b/voices_3", Bytes{1});  // a file never qualifies as a directory
  const std::string song = dir.write("song.kvt", tone.song);
  const std::string base = dir / "b";
  struct Case {
    std::string first, second;
    bool found;
  };
  const Case cases[] = {
      {base + "/voices_2", "", true},
      {base + "/voices_2/", "", true},
      {base + "/voices_2\\", "", true},
      {base + "/missing", base + "/voices_2", true},
      {base + "/VOICES_?", "", true},
      {base + "/voices*", "", true},
      {base + "/voices_3*", "", false},
      {base + "/voices_2/tone.kvw", "", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first + " | " + c.second);
    messages.clear();
    EXPECT_EQ(load(song, settings_for(c.first, c.second)), c.found ? 0 : 1);
    const playstruct s = settings_for(c.first, c.second);
    char path[512] = {};
    EXPECT_EQ(kvt_find_voice("TONE", &s, path, sizeof path), c.found ? 0 : 1);
    if (c.found) {
      EXPECT_EQ(read_file(path), tone.voice);
    }
  }
}

TEST_F(LoaderTest, EightBitSamplesTurnUnsignedWithTheLoopSampleAfterThem) {
  VoiceParams v;
  v.wide = false;
  v.samples = {0x80, 0x80, 0x80, 0x80};  // silence as the driver reads it
  v.loop_start = 2;
  Bytes file = voice_file(v);
  for (std::size_t i = 0x100; i < file.size(); ++i) ASSERT_EQ(file[i], 0x00);
  file[0x100 + 2] = 0x10;  // the sample at the loop point
  dir.write("voices/tone.kvw", file);
  ASSERT_EQ(load(song_naming("tone")), 0);
  const host::FileBlock& block = player.kvw[0];
  ASSERT_EQ(block.size, file.size() + 2);
  EXPECT_EQ(block.bytes[0x100], 0x80);
  EXPECT_EQ(block.bytes[0x102], 0x90);
  EXPECT_EQ(block.bytes[file.size()], 0x90);
  EXPECT_EQ(player.driver->kvw[0], block.bytes.get());
  EXPECT_EQ(player.driver->kvw_size[0], block.size);
}

TEST_F(LoaderTest, SixteenBitVoicesGetTheLoopSampleFromTheFullLoopStart) {
  VoiceParams v;
  v.samples.resize(70000);
  for (std::size_t i = 0; i < v.samples.size(); ++i) v.samples[i] = static_cast<std::int32_t>(i % 30000);
  v.loop_start = 66000;  // beyond 16 bits
  dir.write("voices/tone.kvw", voice_file(v));
  ASSERT_EQ(load(song_naming("tone", 7)), 0);
  const host::FileBlock& block = player.kvw[7];
  std::int16_t appended;
  std::memcpy(&appended, block.bytes.get() + block.file_size, 2);
  EXPECT_EQ(appended, 66000 % 30000);
  EXPECT_EQ(player.driver->kvw[0], KVT_EMPTY_VOICE);
}

TEST_F(LoaderTest, LoopPointAtTheEndAppendsSilence) {
  VoiceParams v;
  v.samples = {1000, 2000, 3000};
  v.loop_start = 3;
  v.one_shot = true;
  dir.write("voices/tone.kvw", voice_file(v));
  ASSERT_EQ(load(song_naming("tone")), 0);
  EXPECT_EQ(player.kvw[0].bytes[0x106], 0);
  EXPECT_EQ(player.kvw[0].bytes[0x107], 0);
}

TEST_F(LoaderTest, SlotNamedTwiceKeepsTheLaterVoice) {
  VoiceParams first, second;
  first.samples = {1, 1};
  second.samples = {2, 2, 2};
  dir.write("voices/first.kvw", voice_file(first));
  dir.write("voices/second.kvw", voice_file(second));
  ASSERT_EQ(load(make_song({48, 28, false, {kPart}}, {{{3, "first"}, {3, "second"}}, std::nullopt})), 0);
  EXPECT_EQ(player.kvw_total, 2);
  EXPECT_EQ(player.kvw[3].file_size, voice_file(second).size());
}

TEST_F(LoaderTest, TitleLines) {
  struct Case {
    const char* what;
    std::optional<Bytes> block;
    std::string line;
  };
  Bytes long_title{254};  // 255 would mark the title absent
  long_title.resize(255, 'x');
  Bytes cut_character{249};
  cut_character.resize(250 - 2, 'y');
  cut_character.push_back(0x82);  // a double-byte character across the cut
  cut_character.push_back(0xA0);
  const std::string utf8 = "Caf\xC3\xA9 \xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89";  // ends in bytes that look like a lead byte
  Bytes utf8_title{static_cast<std::uint8_t>(utf8.size())};
  utf8_title.insert(utf8_title.end(), utf8.begin(), utf8.end());
  Bytes utf8_cut{248};
  utf8_cut.resize(1 + 245, 'z');
  for (const char c : std::string("\xE3\x81\x95")) utf8_cut.push_back(static_cast<std::uint8_t>(c));
  const Case cases[] = {
      {"none", std::nullopt, "Title : None"},
      {"UTF-8 text", utf8_title, "Title : " + utf8},
      {"UTF-8 character at the cut", utf8_cut, "Title : " + std::string(245, 'z')},
      {"marked absent", Bytes{0xFF}, "Title : None"},
      {"empty", Bytes{0}, "Title : "},
      {"text", Bytes{3, 'a', 'b', 'c'}, "Title : abc"},
      {"longest", long_title, "Title : " + std::string(247, 'x')},
      {"double-byte character at the cut", cut_character, "Title : " + std::string(247, 'y')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::memset(title, '#', sizeof title);
    ASSERT_EQ(load(make_song({48, 28, false, {kPart}}, {{}, c.block})), 0);
    EXPECT_EQ(std::string(title), c.line);
  }
}

}  // namespace
}  // namespace kvt::test
