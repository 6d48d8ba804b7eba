// Speed of the MIDI converter on the largest file of the real-world corpus
// (set KVT_BENCH_MIDI to convert another file), with the default bank's
// configuration, in memory. Reported as MIDI bytes per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "conversion.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path largest_corpus_file() {
  if (const char* chosen = std::getenv("KVT_BENCH_MIDI")) return chosen;
  fs::path best;
  std::uintmax_t size = 0;
  const fs::path corpus = fs::path(KVT_CORPUS_DIR) / "midi";
  if (!fs::is_directory(corpus)) return best;
  for (const auto& e : fs::recursive_directory_iterator(corpus))
    if (e.path().extension() == ".mid" && e.file_size() > size) {
      size = e.file_size();
      best = e.path();
    }
  return best;
}

void BM_ConvertLargestMidi(benchmark::State& state) {
  const fs::path midi_path = largest_corpus_file();
  if (midi_path.empty()) {
    state.SkipWithError("no MIDI corpus (set KVT_BENCH_MIDI)");
    return;
  }
  const std::vector<std::uint8_t> midi = read(midi_path);
  const std::vector<std::uint8_t> config = read(KVT_BANK_CONFIG);
  const mid2kvt_settings settings{90, 100, 4, 0, 0};
  std::vector<std::uint8_t> song;
  std::vector<char> text(1 << 16);
  for (auto _ : state) {
    text[0] = '\0';
    if (kvt::convert::convert_midi_image(midi, config, settings, text.data(), text.size(), song) != 0) {
      state.SkipWithError(text.data());
      return;
    }
    benchmark::DoNotOptimize(song.data());
  }
  state.SetLabel(midi_path.filename().string());
  state.SetBytesProcessed(static_cast<std::int64_t>(midi.size()) * state.iterations());
  state.counters["song_bytes"] = static_cast<double>(song.size());
}

}  // namespace

BENCHMARK(BM_ConvertLargestMidi)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
