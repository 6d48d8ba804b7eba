// The default bank through the player: a song naming every bank voice
// loads, and each voice sounds when played.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "host_fixture.h"
#include "loader.h"

namespace kvt::test {
namespace {

TEST(BankVoices, EveryVoiceLoadsAndSounds) {
  std::vector<std::pair<std::uint8_t, std::string>> names;
  for (const auto& e : std::filesystem::directory_iterator(std::string(KVT_ASSET_DIR) + "/Pcm97")) {
    names.emplace_back(static_cast<std::uint8_t>(names.size()), e.path().stem().string());
  }
  ASSERT_GE(names.size(), 40u);
  ASSERT_LE(names.size(), 256u);
  ScratchDir dir;
  const Bytes part = {0x73, 0, 0x6D, 250, 36, 200, 0xFF};  // long enough for the slowest attack
  const std::string song = dir.write("all.kvt", make_song({48, 28, false, {part}}, {names, std::nullopt}));
  host::Player player;
  std::vector<std::string> messages;
  player.ui.callbacks.context = &messages;
  player.ui.callbacks.message = [](void* m, const char* text, int) {
    static_cast<std::vector<std::string>*>(m)->emplace_back(text);
  };
  const playstruct settings = settings_for(std::string(KVT_ASSET_DIR) + "/Pcm97");
  ASSERT_EQ(host::fm_and_kvw(player, song.c_str(), settings), 0) << (messages.empty() ? "" : messages[0]);

  for (const auto& [slot, name] : names) {
    SCOPED_TRACE(name);
    const host::FileBlock& voice = player.kvw[slot];
    ASSERT_NE(voice.bytes, nullptr);
    Harness h(make_song({48, 28, false, {part}}), {{0, Bytes(voice.bytes.get(), voice.bytes.get() + voice.size)}});
    const std::vector<std::int16_t> out = h.render(40);
    const int peak = std::abs(*std::max_element(out.begin(), out.end(), [](int a, int b) { return std::abs(a) < std::abs(b); }));
    EXPECT_GT(peak, 1000);
  }
}

}  // namespace
}  // namespace kvt::test
