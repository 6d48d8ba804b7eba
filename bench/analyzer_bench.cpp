// The visual player's command analyser: its cost per 50 ms period of the
// view timer (66150 clock units, 137.8 ticks) on 240 busy parts: short
// notes between commands, looping for ever through a call. At tempo 1
// every tick is a song tick; tempo 28 is a quarter note of 48 ticks at
// 120 beats a minute.
#include <benchmark/benchmark.h>

#include "song_builder.h"
#include "track_analyzer.h"

namespace {

constexpr int kParts = 240;
constexpr int kUnitsPerPeriod = 66150;  // 50 ms x 2756.25 ticks a second x 480
constexpr int kUnitsPerTick = 480;

// Counts what a view would draw.
class CountingView final : public kvt::host::ViewCalls {
 public:
  void set_red_point(int, int) override { ++calls; }
  void reset_red_point(int, int) override { ++calls; }
  void trackname(int, const std::uint8_t*, std::size_t) override { ++calls; }
  long calls = 0;
};

// A name, then for ever: a repeat of three short notes under volume, gate
// and octave commands, and a program change.
kvt::test::Bytes busy_part(int index) {
  const auto key = static_cast<std::uint8_t>(24 + index % 48);
  const auto length = static_cast<std::uint8_t>(1 + index % 3);
  return {0xFD, 4, 'p', 'a', 'r', 't', 0x63, 0x60, 3, 0x6D, 100, 0xE1, 28, key, length, 0x7F, 1, key, length, 0x7F,
          0, 0x74, key, length, 0x61, 0xEA, 0, 0x72, 1, 1, 0x65};
}

void BM_AnalyzerPeriod(benchmark::State& state) {
  kvt::test::SongParams params;
  params.tempo = static_cast<std::uint16_t>(state.range(0));
  for (int i = 0; i < kParts; ++i) params.parts.push_back(busy_part(i));
  const kvt::test::Bytes song = kvt::test::make_song(params);
  CountingView view;
  kvt::host::TrackAnalyzer analyzer;
  analyzer.init_analyze(song.data(), song.size(), view);
  int units = 0;
  long ticks = 0;
  for (auto _ : state) {
    for (units += kUnitsPerPeriod; units >= kUnitsPerTick; units -= kUnitsPerTick, ++ticks) analyzer.dummy_play(view);
    benchmark::DoNotOptimize(view.calls);
  }
  state.counters["ticks_per_period"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
  state.counters["calls_per_period"] = static_cast<double>(view.calls) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_AnalyzerPeriod)->Arg(1)->Arg(28)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
