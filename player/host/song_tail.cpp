#include "song_tail.h"

#include <algorithm>

namespace kvt::host {
namespace {

constexpr int kDriverEnded = -1;
constexpr int kQuietSwing = 2;  // a swing of +-1 around the level; -90 dBFS is 1.04 on the 16-bit scale
constexpr std::uint64_t kTailSeconds = 10;

// Whether every channel of interleaved `samples` stays within the quiet swing.
bool quiet(const std::int16_t* samples, std::size_t count, std::size_t channels) {
  for (std::size_t c = 0; c < channels; ++c) {
    std::int16_t low = samples[c];
    std::int16_t high = samples[c];
    for (std::size_t i = c; i < count; i += channels) {
      low = std::min(low, samples[i]);
      high = std::max(high, samples[i]);
    }
    if (high - low > kQuietSwing) return false;
  }
  return true;
}

}  // namespace

SongTail::SongTail(bool clean_end, std::uint32_t rate) : clean_end_(clean_end), limit_(kTailSeconds * rate) {}

SongTail::Block SongTail::classify(int driver_result, const std::int16_t* samples, std::size_t count,
                                   std::uint32_t frames) {
  if (driver_result != kDriverEnded) return Block::song;
  if (!clean_end_) return Block::after;
  const bool first = tail_frames_ == 0;
  tail_frames_ += frames;
  const std::size_t channels = frames > 0 ? std::max<std::size_t>(count / frames, 1) : 1;
  // A song that ends in silence has no tail to keep.
  if (count == 0 || quiet(samples, count, channels)) return first ? Block::after : Block::last;
  return tail_frames_ >= limit_ ? Block::last : Block::song;
}

}  // namespace kvt::host
