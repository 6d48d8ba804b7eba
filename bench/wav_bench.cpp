// Speed of WAVE output through the player library: a dense song of 64
// parts at 44.1 kHz stereo with both effect stages, file writing included,
// reported as times real time.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "dense_song.h"
#include "kvt/player.h"

namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const kvt::test::Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void BM_OutputWav(benchmark::State& state) {
  std::string dir = (fs::temp_directory_path() / "kvt-bench-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) {
    state.SkipWithError("no scratch directory");
    return;
  }
  kvt::test::SongParams params;
  params.tempo = 28;
  for (int i = 0; i < state.range(0); ++i) params.parts.push_back(kvt::bench::busy_part(i));
  write(fs::path(dir) / "dense.kvt", kvt::test::make_song(params, {{{0, "tone"}}, std::nullopt}));
  write(fs::path(dir) / "tone.kvw", kvt::test::voice_file(kvt::bench::tone_voice()));
  playstruct settings{};
  dir.copy(settings.pcm_dir[0], sizeof settings.pcm_dir[0] - 1);
  settings.rate_index = 0;
  settings.channel = 2;
  settings.effect_level = 2;
  settings.loop = 1;
  settings.bit = 16;
  const std::string song = dir + "/dense.kvt", wav = dir + "/dense.wav";
  char title[256];
  double seconds = 0;
  for (auto _ : state) {
    if (_output_wav(song.c_str(), wav.c_str(), settings, title) != 0) state.SkipWithError("rendering failed");
    seconds += static_cast<double>(fs::file_size(wav) - 44) / (44100.0 * 4);
  }
  state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
  fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_OutputWav)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
