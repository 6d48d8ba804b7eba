// The built-in bank and a bank imported from Debian's FluidR3 General MIDI
// SoundFont, against FluidSynth and TiMidity++ playing that SoundFont
// itself: three corpus MIDI files rendered each way, with the peak and RMS
// level of each rendering, its spectral distance to FluidSynth's (the mean
// spectrum's third-octave bands) and the render speed. Prints a Markdown
// table. Needs `make bank-gm` first; a renderer not installed is left out.
#include <sndfile.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "audio_spectrum.h"
#include "timed_run.h"

namespace {

namespace fs = std::filesystem;
using kvt::test::Signal;

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr const char* kSongs[] = {"freedoom/d_inter.mid", "freedoom/d_fdmrdm.mid", "midi-json-parser/minute_waltz.mid"};

struct Renderer {
  const char* name;
  std::string program;
  // The arguments that render `song` into `out`.
  std::vector<std::string> (*arguments)(const std::string& song, const std::string& out, const std::string& work);
};

std::vector<std::string> kvt_built_in(const std::string& song, const std::string& out, const std::string&) {
  return {"wav", song, "-o", out, "--bank", "default"};
}
std::vector<std::string> kvt_fluidr3(const std::string& song, const std::string& out, const std::string&) {
  return {"wav", song, "-o", out, "--bank", "fluidr3"};
}
std::vector<std::string> fluidsynth(const std::string& song, const std::string& out, const std::string&) {
  return {"-ni", "-q", "-r", "44100", "-T", "wav", "-F", out, kSoundFont, song};
}
std::vector<std::string> timidity(const std::string& song, const std::string& out, const std::string& work) {
  return {"-c", work + "/timidity.cfg", "-Ow", "-s", "44100", "-o", out, song};
}

// The rendering mixed down to one channel, or nothing when unreadable.
std::optional<Signal> mono_of(const std::string& path, double& seconds) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr || info.channels < 1) return std::nullopt;
  std::vector<double> frames(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_double(file, frames.data(), info.frames);
  sf_close(file);
  Signal mono(static_cast<std::size_t>(info.frames));
  for (std::size_t i = 0; i < mono.size(); ++i) {
    for (int c = 0; c < info.channels; ++c) mono[i] += frames[i * info.channels + c] / info.channels;
  }
  seconds = static_cast<double>(info.frames) / info.samplerate;
  return mono;
}

double peak_db(const Signal& s) {
  double peak = 0;
  for (const double v : s) peak = std::max(peak, std::abs(v));
  return 20 * std::log10(std::max(peak, 1e-9));
}

struct Rendered {
  Signal mono;
  double seconds;  // of sound
  double took;     // wall clock
};

std::optional<Rendered> render(const Renderer& r, const std::string& song, const std::string& work) {
  const std::string out = work + "/" + r.name + ".wav";
  const double took = kvt::bench::timed_run(r.program, r.arguments(song, out, work), work + "/log.txt");
  double seconds = 0;
  std::optional<Signal> mono = took < 0 ? std::nullopt : mono_of(out, seconds);
  if (!mono) return std::nullopt;
  return Rendered{std::move(*mono), seconds, took};
}

}  // namespace

int main() {
  std::string work = (fs::temp_directory_path() / "kvt-bank-compare-XXXXXX").string();
  if (mkdtemp(work.data()) == nullptr) {
    std::fprintf(stderr, "bank_compare: no scratch directory\n");
    return 1;
  }
  std::ofstream(work + "/timidity.cfg") << "soundfont " << kSoundFont << "\n";
  const Renderer renderers[] = {{"FluidSynth", "fluidsynth", fluidsynth},
                                {"kvt, built-in bank", KVT_BINARY, kvt_built_in},
                                {"kvt, FluidR3 bank", KVT_BINARY, kvt_fluidr3},
                                {"TiMidity++", "timidity", timidity}};
  std::printf("| song | renderer | peak dBFS | RMS dBFS | distance to FluidSynth, dB | speed, x real time |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const char* name : kSongs) {
    const std::string song = std::string(KVT_CORPUS_DIR) + "/midi/" + name;
    std::optional<std::vector<double>> reference;
    for (const Renderer& r : renderers) {
      const std::optional<Rendered> done = render(r, song, work);
      if (!done) {
        std::printf("| %s | %s | failed or not installed | | | |\n", name, r.name);
        continue;
      }
      const std::vector<double> bands = kvt::test::band_levels(kvt::test::average_spectrum(done->mono));
      if (&r == &renderers[0]) reference = bands;
      char distance[16] = "-";
      if (reference)
        std::snprintf(distance, sizeof distance, "%.1f", kvt::test::spectral_distance_db(bands, *reference));
      std::printf("| %s | %s | %.1f | %.1f | %s | %.0f |\n", name, r.name, peak_db(done->mono),
                  kvt::test::level_db(done->mono, 0, done->seconds), distance, done->seconds / done->took);
    }
  }
  fs::remove_all(work);
  return 0;
}
