// WAVE files played through the sound card (SDL's disk driver): the notice
// when one ends or is stopped, and files that cannot be played.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "card_capture.h"
#include "host_fixture.h"

namespace kvt::test {
namespace {

using namespace std::chrono_literals;

const std::vector<Bytes> kParts = {{0x73, 0, 0x6D, 245, 36, 96, 40, 96, 0xFF}};

class WaveFilePlaybackTest : public ToneSongTest {
 protected:
  WaveFilePlaybackTest() : ToneSongTest(kParts, "song.kvt", "tone.kvw") {
    const RecordingUi quiet;
    playstruct s = settings_for(dir.path().string());
    s.rate_index = 4;
    s.channel = 1;
    char title[256];
    EXPECT_EQ(_output_wav(song.c_str(), wav.c_str(), s, title), 0);
    s.bit = 8;  // SDL widens it to 16 bits for the card
    EXPECT_EQ(_output_wav(song.c_str(), wav8.c_str(), s, title), 0);
  }
  ~WaveFilePlaybackTest() override { kvt_wave_stop(); }

  static void count(void* self, int id, unsigned long serial) {
    auto* test = static_cast<WaveFilePlaybackTest*>(self);
    if (id != KVT_NOTICE_WAVE_DONE) return;
    test->done_serial = serial;
    ++test->done;
  }
  bool wait_done() {
    for (int i = 0; i < 2000 && done == 0; ++i) std::this_thread::sleep_for(5ms);
    return done > 0;
  }

  std::string wav = dir / "take.wav";
  std::string wav8 = dir / "take8.wav";
  std::atomic<int> done{0};
  std::atomic<unsigned long> done_serial{0};
  kvt_notify_target target{this, count};
};

TEST_F(WaveFilePlaybackTest, PlaysToItsEndWithOneNotice) {
  use_disk_card(dir / "card.raw", 1);
  ASSERT_EQ(kvt_wave_play(wav.c_str(), &target), 0);
  kvt_play_state state{};
  kvt_wave_state_get(&state);
  ASSERT_TRUE(wait_done());
  EXPECT_EQ(done_serial, state.serial);
  EXPECT_NE(state.serial, 0u);
  kvt_wave_stop();  // closes the device; no second notice
  const std::vector<std::int16_t> expected = samples_of(read_file(wav), 44);
  EXPECT_TRUE(plays_as(samples_of(read_file(dir / "card.raw")), expected, 1, 11025 / 2));  // half a second a buffer
  EXPECT_EQ(done, 1);
}

TEST_F(WaveFilePlaybackTest, StopCutsItShortWithOneNotice) {
  use_disk_card(dir / "card.raw", 40);  // slower than real time
  ASSERT_EQ(kvt_wave_play(wav8.c_str(), &target), 0);
  std::this_thread::sleep_for(100ms);
  kvt_play_state state{};
  kvt_wave_state_get(&state);
  EXPECT_EQ(state.playing, 1);
  EXPECT_EQ(state.rate, 11025);
  kvt_wave_stop();
  kvt_wave_stop();
  kvt_wave_state_get(&state);
  EXPECT_EQ(state.playing, 0);
  EXPECT_EQ(done, 1);
}

TEST_F(WaveFilePlaybackTest, UnreadableFilesAreRefused) {
  use_disk_card(dir / "card.raw", 1);
  EXPECT_EQ(kvt_wave_play((dir / "missing.wav").c_str(), &target), 1);
  EXPECT_EQ(kvt_wave_play(song.c_str(), &target), 1);
  EXPECT_EQ(kvt_wave_play(nullptr, &target), 1);
  const Bytes file = read_file(wav);
  const Bytes header(file.begin(), file.begin() + 44);
  EXPECT_EQ(kvt_wave_play(dir.write("empty.wav", header).c_str(), &target), 1);
  EXPECT_EQ(done, 0);
}

}  // namespace
}  // namespace kvt::test
