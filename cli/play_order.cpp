#include "play_order.h"

#include <algorithm>
#include <numeric>

namespace kvt::cli {

PlayOrder::PlayOrder(Program program, std::size_t songs, std::mt19937::result_type seed)
    : program_(program), songs_(songs), random_(seed) {
  if (program_ == Program::shuffle) extend();
}

std::optional<std::size_t> PlayOrder::current() const {
  switch (program_) {
    case Program::once: return at_ == 0 ? std::optional<std::size_t>(0) : std::nullopt;
    case Program::list: return at_ < songs_ ? std::optional<std::size_t>(at_) : std::nullopt;
    case Program::repeat: return 0;
    case Program::shuffle: return played_[at_];
  }
  return std::nullopt;
}

void PlayOrder::next() {
  ++at_;
  if (program_ == Program::shuffle && at_ == played_.size()) extend();
}

void PlayOrder::previous() {
  if (at_ > 0) --at_;
}

void PlayOrder::extend() {
  std::vector<std::size_t> round(songs_);
  std::iota(round.begin(), round.end(), std::size_t{0});
  std::shuffle(round.begin(), round.end(), random_);
  // The song that just ended does not play again at once.
  if (songs_ > 1 && !played_.empty() && round.front() == played_.back()) {
    std::swap(round.front(), round[1 + random_() % (songs_ - 1)]);
  }
  played_.insert(played_.end(), round.begin(), round.end());
}

}  // namespace kvt::cli
