// The driver's C exports from the shared library: the default instance and
// independent instances rendering on separate threads.
#include <gtest/gtest.h>

#include <thread>

#include "kvt/driver.h"
#include "song_builder.h"

namespace kvt::test {
namespace {

Bytes test_song() {
  return make_song({48, 3, false,
                    {{0x7C, 100, 60, 40, 0, 0, 0x6D, 250, 0x60, 8, 36, 12, 40, 12, 0x61, 0xFF},
                     {0x7D, 0, 0, 90, 40, 30, 0, 20, 10, 3, 0, 0x7B, 1, 0x6D, 240, 24, 96, 0xFF}}});
}

void load(kvt_driver* d, const Bytes& song, const Bytes& voice, std::vector<std::int16_t>& buffer) {
  kvt_driver_inputs* io = kvt_driver_io(d);
  io->fm = song.data();
  io->fm_size = song.size();
  for (auto& slot : io->kvw) slot = KVT_EMPTY_VOICE;
  io->kvw[0] = voice.data();
  io->kvw_size[0] = voice.size();
  io->buffer = buffer.data();
  io->dwDataSize = static_cast<int>(buffer.size() * sizeof(std::int16_t));
  io->effect_level = 2;
}

std::vector<std::int16_t> render_with(kvt_driver* d, const Bytes& song, const Bytes& voice, int blocks) {
  std::vector<std::int16_t> buffer(8192);
  load(d, song, voice, buffer);
  kvt_driver_init(d);
  std::vector<std::int16_t> out;
  for (int i = 0; i < blocks; ++i) {
    kvt_driver_play(d);
    out.insert(out.end(), buffer.begin(), buffer.begin() + 4096);
  }
  return out;
}

TEST(DriverCApi, DefaultInstanceRendersThroughTheExports) {
  const Bytes song = test_song();
  const Bytes voice = dc_voice(9000, 200);
  std::vector<std::int16_t> buffer(8192, 1);
  load(kvt_driver_default(), song, voice, buffer);
  EXPECT_EQ(_kvt_worksize(), 384);
  _kvt_init();
  EXPECT_EQ(_kvt_play(), 0);
  EXPECT_NE(buffer[100], 0);
  int r = 0;
  for (int i = 0; i < 100 && r >= 0; ++i) r = _kvt_play();
  EXPECT_EQ(r, -1);
  kvt_driver_io(kvt_driver_default())->buffer = nullptr;
  kvt_driver_io(kvt_driver_default())->fm = nullptr;
}

TEST(DriverCApi, InstancesOnSeparateThreadsMatchASingleRun) {
  const Bytes song = test_song();
  const Bytes voice = dc_voice(9000, 200);
  kvt_driver* reference = kvt_driver_new();
  const auto expected = render_with(reference, song, voice, 6);
  kvt_driver_delete(reference);

  std::vector<std::int16_t> results[3];
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([&] {
      kvt_driver* d = kvt_driver_new();
      result = render_with(d, song, voice, 6);
      kvt_driver_delete(d);
    });
  }
  for (auto& t : threads) t.join();
  for (const auto& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace kvt::test
