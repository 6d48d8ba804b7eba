// Which song of a play program comes next: the list in order, one song
// again and again, or shuffled rounds in which every song plays once
// before any plays again. Going back returns along the songs played.
#pragma once

#include <cstddef>
#include <optional>
#include <random>
#include <vector>

namespace kvt::cli {

enum class Program { once, list, repeat, shuffle };

class PlayOrder {
 public:
  PlayOrder(Program program, std::size_t songs, std::mt19937::result_type seed);

  // The song to play now, or nothing when the program has ended.
  std::optional<std::size_t> current() const;
  void next();
  void previous();  // stays on the first song played

 private:
  void extend();  // gives a shuffled program its next round

  Program program_;
  std::size_t songs_;
  std::mt19937 random_;
  std::vector<std::size_t> played_;  // a shuffle's songs, round after round
  std::size_t at_ = 0;
};

}  // namespace kvt::cli
