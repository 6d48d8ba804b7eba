// Rendering speed of the driver: 1, 16 and 64 sounding parts at 44.1 kHz
// stereo with both effect stages, reported as times real time.
#include <benchmark/benchmark.h>

#include <cmath>

#include "song_builder.h"

namespace {

using kvt::test::Bytes;

// A looping part that holds long notes at staggered pitches, so every part
// sounds all the time; part 1 also sets up the reverb and a chorus tap.
Bytes busy_part(int index) {
  Bytes p;
  if (index == 0) {
    p = {0x7C, 80, 100, 200, 0, 0};
    p.insert(p.end(), {0x7D, 0, 0, 100, 60, 40, 0, 20, 8, 2, 1});
  }
  p.insert(p.end(), {0x7B, static_cast<std::uint8_t>(index % 2), 0x79});
  for (int n = 0; n < 8; ++n) p.insert(p.end(), {static_cast<std::uint8_t>(24 + (index * 5 + n * 7) % 48), 200});
  p.push_back(0xFF);
  return p;
}

Bytes tone_voice() {
  kvt::test::VoiceParams v;
  for (int i = 0; i < 4000; ++i) v.samples.push_back(static_cast<std::int32_t>(9000 * std::sin(i * 0.0628)));
  v.loop_start = 3000;
  v.sets[0] = {127, 0, 0, 0, 0, 0, 0, 60};
  return kvt::test::make_voice(v);
}

void BM_Render(benchmark::State& state) {
  kvt::test::SongParams params;
  params.tempo = 28;
  for (int i = 0; i < state.range(0); ++i) params.parts.push_back(busy_part(i));
  kvt::test::Harness h(kvt::test::make_song(params), {{0, tone_voice()}}, {0, 2, 2, 1});
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
