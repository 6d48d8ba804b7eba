// Rendering speed of the driver: 1, 16 and 64 sounding parts at 44.1 kHz
// stereo with both effect stages, reported as times real time.
#include <benchmark/benchmark.h>

#include "dense_song.h"

namespace {

void BM_Render(benchmark::State& state) {
  kvt::test::SongParams params;
  params.tempo = 28;
  for (int i = 0; i < state.range(0); ++i) params.parts.push_back(kvt::bench::busy_part(i));
  kvt::test::Harness h(kvt::test::make_song(params), {{0, kvt::test::make_voice(kvt::bench::tone_voice())}}, {0, 2, 2, 1});
  std::int64_t frames = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(h.play());
    frames += 2048;
  }
  state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_Render)->Arg(1)->Arg(16)->Arg(64);
BENCHMARK_MAIN();
