// Wall time of `kvt wav` on the first 30 MIDI files of the real-world
// corpus (sorted by path), two at a time against one at a time. The two
// settings alternate round by round, so that a machine growing busier or
// quieter meanwhile weighs on both alike. Prints the median of each and
// their ratio.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "timed_run.h"

namespace {

namespace fs = std::filesystem;
using kvt::bench::median;

constexpr std::size_t kSongs = 30;
constexpr int kRounds = 5;

std::vector<std::string> corpus_songs() {
  std::vector<std::string> songs;
  const fs::path corpus = fs::path(KVT_CORPUS_DIR) / "midi";
  if (!fs::is_directory(corpus)) return songs;
  for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
    if (entry.is_regular_file() && entry.path().extension() == ".mid") songs.push_back(entry.path().string());
  }
  std::sort(songs.begin(), songs.end());
  if (songs.size() > kSongs) songs.resize(kSongs);
  return songs;
}

}  // namespace

int main() {
  const std::vector<std::string> songs = corpus_songs();
  if (songs.empty()) {
    std::fprintf(stderr, "batch_bench: no MIDI files in %s/midi\n", KVT_CORPUS_DIR);
    return 1;
  }
  if (songs.size() < kSongs) std::printf("only %zu MIDI files in the corpus; all are used\n", songs.size());
  std::string dir = (fs::temp_directory_path() / "kvt-batch-bench-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) {
    std::fprintf(stderr, "batch_bench: no scratch directory\n");
    return 1;
  }
  const std::vector<int> settings{2, 1};
  std::vector<std::vector<double>> times(settings.size());
  int status = 0;
  for (int round = 0; round < kRounds && status == 0; ++round) {
    for (std::size_t k = 0; k < settings.size(); ++k) {
      // Each round starts with the setting the last one ended with.
      const std::size_t which = round % 2 == 0 ? k : settings.size() - 1 - k;
      const std::string out = dir + "/out-" + std::to_string(settings[which]);
      fs::create_directories(out);
      std::vector<std::string> args{"wav"};
      args.insert(args.end(), songs.begin(), songs.end());
      args.insert(args.end(), {"-j", std::to_string(settings[which]), "--out-dir", out});
      // A corpus file that is no usable MIDI fails its job alone: exit status 1.
      const double took = kvt::bench::timed_run(KVT_BINARY, args, dir + "/log.txt", 1);
      if (took < 0) {
        std::fprintf(stderr, "batch_bench: kvt failed; see %s/log.txt\n", dir.c_str());
        status = 1;
        break;
      }
      times[which].push_back(took);
      fs::remove_all(out);
    }
  }
  if (status == 0) {
    const double two = median(times[0]), one = median(times[1]);
    std::printf("kvt wav, %zu MIDI files, %d rounds\n", songs.size(), kRounds);
    std::printf("-j 2: median %.3f s\n-j 1: median %.3f s\nratio (-j 1 / -j 2): %.2f\n", two, one, one / two);
    fs::remove_all(dir);
  }
  return status;
}
