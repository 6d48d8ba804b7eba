// Conversions too large for the song file stop with a message.
#include "config_file.h"
#include "convert_fixture.h"

namespace kvt::test {
namespace {

using Limits = ConvertTest;

// `notes` notes on `channel`, each 30 ticks with a 31-tick rest, so that
// every note and rest is written with its length (4 bytes a note).
std::vector<SmfEvent> busy_channel(int channel, int notes) {
  std::vector<SmfEvent> events;
  for (int i = 0; i < notes; ++i) {
    events.push_back(note_on(i == 0 ? 0 : 31, channel, 60));
    events.push_back(note_off(30, channel, 60));
  }
  return events;
}

TEST_F(Limits, APartOverItsCapacityStops) {
  EXPECT_EQ(convert(smf_file(0, 48, {smf_track(busy_channel(1, 26000))})), 1);
  EXPECT_NE(messages.find("Too long track! Memory over. #0\n"), std::string::npos) << messages.substr(0, 300);
}

TEST_F(Limits, ASongOverTheOutputBufferStops) {
  std::vector<Bytes> tracks{smf_track({})};
  for (int channel = 1; channel <= 6; ++channel) tracks.push_back(smf_track(busy_channel(channel, 20000)));
  EXPECT_EQ(convert(smf_file(1, 48, tracks)), 1);
  EXPECT_NE(messages.find("ERROR! The output is larger than 420000 bytes.\n"), std::string::npos);
}

TEST_F(Limits, TheTwoHundredFiftySixthVoiceStops) {
  // Every program plays voice 2p below middle C and 2p + 1 from it.
  using namespace kvt::bank;
  Config c;
  for (int v = 0; v < 256; ++v) c.pcm.push_back({kMelodicKey, "v" + std::to_string(v)});
  for (int p = 0; p < 128; ++p) {
    const auto low = static_cast<std::uint16_t>(2 * p);
    c.multi.push_back({{low, 0, 0, 0, 59}, {static_cast<std::uint16_t>(low + 1), 0, 0, 60, 127}});
    c.programs.push_back(Program{{Layer{static_cast<std::uint16_t>(p), 1, 100, 0, 0, 0}}, {}});
  }
  c.kits.push_back(std::vector<DrumKey>(128));
  c.kit_of_program.assign(128, 0);
  const std::string cfg = dir.write("many.cfb", config_file_bytes(c));

  std::vector<SmfEvent> events;
  for (int p = 0; p < 128; ++p) {
    events.push_back(program(1, 1, p));
    for (int key : {30, 90}) {
      events.push_back(note_on(0, 1, key));
      events.push_back(note_off(1, 1, key));
    }
  }
  const std::string mid = dir.write("many.mid", smf_file(0, 48, {smf_track(events)}));
  std::vector<char> text(1 << 16, '\0');
  EXPECT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), "", &settings, nullptr, text.data(), text.size()), 1);
  EXPECT_NE(std::string(text.data()).find("ERROR! Too many voices in KVT file! (more than 255)\n"), std::string::npos)
      << text.data();

  events.resize(events.size() - 2);  // 255 voices fit
  dir.write("many.mid", smf_file(0, 48, {smf_track(events)}));
  text[0] = '\0';
  ASSERT_EQ(mid2kvt_convert(mid.c_str(), cfg.c_str(), "", &settings, nullptr, text.data(), text.size()), 0)
      << text.data();
  EXPECT_EQ(read_file(dir / "many.kvt").at(9), 255);
}

}  // namespace
}  // namespace kvt::test
