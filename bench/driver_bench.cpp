// Rendering speed of the driver: 1 to 240 sounding parts at 44.1 kHz stereo
// with both effect stages, reported as times real time, for each version
// of the render loops this processor runs.
#include <benchmark/benchmark.h>

#include "dense_song.h"
#include "isa.h"

namespace {

using kvt::driver::Isa;

void BM_Render(benchmark::State& state) {
  const auto isa = static_cast<Isa>(state.range(1));
  if (!kvt::driver::isa_available(isa)) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  kvt::test::SongParams params;
  params.tempo = 28;
  for (int i = 0; i < state.range(0); ++i) params.parts.push_back(kvt::bench::busy_part(i));
  kvt::test::Harness h(kvt::test::make_song(params), {{0, kvt::test::make_voice(kvt::bench::tone_voice())}}, {0, 2, 2, 1});
  h.ctx().isa = isa;
  std::int64_t frames = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(h.play());
    frames += 2048;
  }
  state.SetLabel(kvt::driver::isa_name(isa));
  state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
}

}  // namespace

// Versions side by side for each part count.
BENCHMARK(BM_Render)->ArgNames({"parts", "isa"})->ArgsProduct({{1, 16, 64, 240}, {0, 1, 2}});
BENCHMARK_MAIN();
