// The default bank as it sounds: single notes of General MIDI files rendered
// by `kvt wav` without effects, measured with a plain FFT.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio_spectrum.h"
#include "smf_builder.h"

namespace {

namespace fs = std::filesystem;
using namespace kvt::test;

constexpr double kRate = kSpectrumRate;
constexpr int kDivision = 96;  // ticks a quarter note
// A slow tempo, so that a song ends long after the last drum hit has died.
constexpr std::uint32_t kMicrosecondsPerQuarter = 2000000;

const fs::path kAssets = KVT_ASSET_DIR;
const fs::path kKvt = fs::path(KVTBANK).parent_path() / "kvt";

// A format-0 file holding one note of `seconds` on channel 1 with
// `instrument`, or on the drum channel when `instrument` is negative.
Bytes one_note(int instrument, int key, double seconds) {
  const int channel = instrument < 0 ? 10 : 1;
  std::vector<SmfEvent> events{tempo(0, kMicrosecondsPerQuarter)};
  if (instrument >= 0) events.push_back(program(0, channel, instrument));
  events.push_back(note_on(0, channel, key, 127));
  events.push_back(
      note_off(static_cast<std::uint32_t>(seconds * 1e6 / kMicrosecondsPerQuarter * kDivision), channel, key));
  return smf_file(0, kDivision, {smf_track(events)});
}

// The mono 16-bit samples of a WAVE file, scaled to -1..1.
Signal wave_samples(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const Bytes b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto u32 = [&b](std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24; };
  std::size_t at = 12;
  while (at + 8 <= b.size() && std::string(b.begin() + at, b.begin() + at + 4) != "data") at += 8 + u32(at + 4);
  Signal out;
  for (std::size_t i = at + 8; i + 1 < b.size() && i + 1 < at + 8 + u32(at + 4); i += 2) {
    out.push_back(static_cast<std::int16_t>(b[i] | b[i + 1] << 8) / 32768.0);
  }
  return out;
}

// One note rendered as a listener hears it, without reverb or chorus.
Signal render(int program, int key, double seconds, const std::string& options = "") {
  const fs::path dir = fs::temp_directory_path() / ("kvt-bank-sound-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path song = dir / "note.mid", wave = dir / "note.wav";
  const Bytes midi = one_note(program, key, seconds);
  std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(midi.data()), midi.size());
  const std::string command = kKvt.string() + " wav " + song.string() + " -o " + wave.string() + " -c " +
                              (kAssets / "kvt.cfb").string() + " --voices " + (kAssets / "Pcm97").string() +
                              " --rate 44100 --mono --effect 0 --exact " + options + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  Signal out = wave_samples(wave);
  fs::remove_all(dir);
  return out;
}

TEST(BankSound, SustainedFamiliesHaveTheirOwnSpectra) {
  struct Family {
    int program;
    const char* name;
  };
  const Family families[] = {{48, "strings"}, {61, "brass"}, {65, "saxophone"}, {81, "saw lead"}};
  for (int key : {55, 67}) {
    std::vector<std::vector<double>> levels;
    for (const Family& f : families) levels.push_back(band_levels(spectrum(render(f.program, key, 1.2), 0.6)));
    for (std::size_t a = 0; a < levels.size(); ++a) {
      for (std::size_t b = a + 1; b < levels.size(); ++b) {
        const double distance = spectral_distance_db(levels[a], levels[b]);
        RecordProperty(std::string(families[a].name) + "-" + families[b].name + "-" + std::to_string(key),
                       std::to_string(distance));
        EXPECT_GE(distance, 6.0) << families[a].name << " and " << families[b].name << " at key " << key;
      }
    }
  }
}

TEST(BankSound, DistortionGuitarsHoldABrightTone) {
  for (int program : {29, 30}) {
    SCOPED_TRACE(program);
    const Signal s = render(program, 52, 1.5);
    const double early = level_db(s, 0.075, 0.125), late = level_db(s, 0.975, 1.025);
    EXPECT_GE(late, early - 6) << "early " << early << " dB, late " << late << " dB";
    EXPECT_GE(share_db(spectrum(s, 0.3), 2000, kRate), -20);
  }
}

TEST(BankSound, PadsReachTheirLevelWithinATenthOfASecond) {
  for (int program = 88; program <= 95; ++program) {
    for (int key : {48, 72}) {
      SCOPED_TRACE("program " + std::to_string(program) + " key " + std::to_string(key));
      const Signal s = render(program, key, 2.0);
      EXPECT_GE(level_db(s, 0.05, 0.1), level_db(s, 1.0, 1.9) - 3);
    }
  }
}

TEST(BankSound, SnaresHaveAMembraneBody) {
  for (int key : {38, 40}) {
    SCOPED_TRACE(key);
    const Spectrum p = spectrum(render(-1, key, 0.5), 0, false);
    EXPECT_LT(centroid_hz(p), 1500);
    EXPECT_GE(share_db(p, 0, 1000), -6);
  }
}

double largest(const Signal& s, std::size_t from, std::size_t to) {
  double peak = 0;
  for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::fabs(s[i]));
  return peak;
}

// Loud, so that -70 dB lies above the last bit of the output. The output
// rounds down, which can add a step to a tail that small: it is taken off.
TEST(BankSound, CymbalsDieAwayBeforeTheirSamplesEnd) {
  for (int key : {49, 51, 52, 55, 57, 59}) {
    SCOPED_TRACE(key);
    const Signal s = render(-1, key, 5.0, "--volume 15 --drum-volume 15");
    const auto last = std::find_if(s.rbegin(), s.rend(), [](double v) { return v != 0; });
    const auto end = static_cast<std::size_t>(s.rend() - last);
    ASSERT_LT(end, s.size() - static_cast<std::size_t>(0.5 * kRate)) << "still sounding when the song ends";
    const double tail = largest(s, end - static_cast<std::size_t>(0.05 * kRate), end) - 1 / 32768.0;
    EXPECT_LE(db(tail * tail / (largest(s, 0, end) * largest(s, 0, end))), -70) << "in the last 50 ms";
  }
}

TEST(BankSound, PianoTopOctaveHasNoPartialsAboveTheBand) {
  for (int key : {84, 88, 91, 96}) {
    SCOPED_TRACE(key);
    EXPECT_LE(share_db(spectrum(render(0, key, 1.0), 0.15), 11500, kRate), -41);
  }
}

}  // namespace
