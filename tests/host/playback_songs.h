// Songs on one tone voice for the playback tests, and the rendering of a
// song that the sound card must receive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card_capture.h"
#include "host_fixture.h"

namespace kvt::test {

// A song of about 3.3 wave buffers at 22050 Hz, on two parts with effects.
inline const std::vector<Bytes> kEndingSong = {
    {0x7C, 120, 80, 30, 0, 0, 0x7D, 0, 0, 150, 40, 20, 0, 4, 20, 1, 0, 0x7B, 1, 0x73, 0, 0x6D, 245, 36, 60, 40, 60,
     43, 60, 0xFF},
    {0x73, 0, 0x6D, 235, 0x70, 40, 0x75, 30, 40, 60, 0xFF},
};
// Loops for ever unless the fade-out ends it.
inline const std::vector<Bytes> kLoopingSong = {{0x73, 0, 0x6D, 245, 0x79, 36, 24, 40, 24, 0xFF}};
// Ends within its first wave buffer.
inline const std::vector<Bytes> kShortSong = {{0x73, 0, 0x6D, 245, 36, 24, 0xFF}};

inline constexpr std::size_t kWavHeader = 44;
inline constexpr std::size_t kBufferFrames = 12288;

class PlaybackSongTest : public ToneSongTest {
 protected:
  PlaybackSongTest() : ToneSongTest(kEndingSong, "song.kvt", "voices/tone.kvw") {}

  // 22050 Hz, reverb and chorus.
  playstruct settings(int channel = 2) const {
    playstruct s = settings_for(dir / "voices");
    s.rate_index = 2;
    s.channel = channel;
    s.effect_level = 2;
    return s;
  }

  // The 16-bit WAVE rendering of `path` with `s`, which playback must match.
  std::vector<std::int16_t> wave_rendering(const playstruct& s, const std::string& path = {}) {
    const RecordingUi quiet;
    playstruct sixteen = s;
    sixteen.bit = 16;
    char title[256];
    EXPECT_EQ(_output_wav((path.empty() ? song : path).c_str(), (dir / "expected.wav").c_str(), sixteen, title), 0);
    return samples_of(read_file(dir / "expected.wav"), kWavHeader);
  }
};

}  // namespace kvt::test
