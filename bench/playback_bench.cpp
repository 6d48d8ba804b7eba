// CPU share of real-time playback: a dense song at 44.1 kHz stereo with
// both effect stages plays through the wave device (SDL's disk driver,
// taking buffers as fast as they come), and the render thread's CPU time
// per wave buffer is set against the time the buffer lasts on the card.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "dense_song.h"
#include "realtime_playback.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBuffersPerRun = 24;
constexpr double kBufferSeconds = 12288.0 / 44100.0;

void write(const fs::path& path, const kvt::test::Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_PlaybackCpuShare(benchmark::State& state) {
  std::string dir = (fs::temp_directory_path() / "kvt-bench-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) {
    state.SkipWithError("no scratch directory");
    return;
  }
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
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
  settings.loop = 2;
  const std::string song = dir + "/dense.kvt";

  kvt::host::Player player;
  kvt::host::PlaybackView view;
  kvt::host::RealtimePlayback playback(player, view);
  std::atomic<int> buffers{0};
  double cpu = 0, last = 0;  // render thread only
  playback.buffer_rendered = [&] {
    const double now = thread_cpu_seconds();
    if (buffers.load() > 0) cpu += now - last;  // the first includes the thread's start
    last = now;
    buffers.fetch_add(1);
  };
  char title[256];
  int measured = 0;
  for (auto _ : state) {
    buffers = 0;
    if (playback.play(song.c_str(), settings, title, nullptr) != 0) {
      state.SkipWithError("playback failed to start");
      break;
    }
    while (buffers.load() < kBuffersPerRun) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    playback.waveout_stop();
    measured += kBuffersPerRun - 1;
  }
  if (measured > 0) {
    state.counters["render_ms_per_buffer"] = cpu / measured * 1e3;
    state.counters["cpu_share_pct"] = cpu / measured / kBufferSeconds * 100;
  }
  fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_PlaybackCpuShare)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
