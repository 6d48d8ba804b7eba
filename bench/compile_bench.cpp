// Speed of the MML compiler on a large source: 64 parts over 10,000 lines,
// the lines of all parts interleaved, so that every part's scan reads the
// whole file. Reported as source lines per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compilation.h"
#include "mml_config.h"

namespace {

constexpr int kParts = 64;
constexpr int kLines = 10000;

// Part index = group x 16 + letter; group 0 needs no digit in the header.
std::string header(int part) {
  std::string h;
  if (part >= 16) h += static_cast<char>('0' + part / 16);
  h += static_cast<char>('A' + part % 16);
  return h;
}

std::string large_source() {
  std::string s = "!\"Benchmark\"\nT150,192\n$m c d e f\n";
  const char* bars[] = {"c d e f", "g a b >c<", "l8 e g", "$m ; macro", "o5 c <b o4", "/* note */ a"};
  for (int line = 4; line <= kLines; ++line) {
    const int part = line % kParts;
    s += header(part) + ' ' + bars[line % 6] + '\n';
  }
  return s;
}

void BM_CompileLargeSource(benchmark::State& state) {
  const std::string source = large_source();
  const std::vector<std::uint8_t> config = kvt::test::test_config();
  std::vector<std::uint8_t> object;
  char text[8192];
  for (auto _ : state) {
    if (kvt::compiler::compile_buffers(source, config, text, sizeof text, object) != 0) {
      state.SkipWithError(text);
      return;
    }
    benchmark::DoNotOptimize(object.data());
  }
  state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(kLines) * state.iterations(),
                                                     benchmark::Counter::kIsRate);
  state.counters["object_bytes"] = static_cast<double>(object.size());
}

}  // namespace

BENCHMARK(BM_CompileLargeSource)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
