// The order of a play program's songs, and going back and forth in it.
#include "play_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace kvt::cli {
namespace {

std::vector<std::size_t> take(PlayOrder& order, std::size_t n) {
  std::vector<std::size_t> songs;
  for (; n > 0 && order.current(); --n, order.next()) songs.push_back(*order.current());
  return songs;
}

TEST(PlayOrderTest, ListRepeatAndOnceGoInTheirOrder) {
  PlayOrder list(Program::list, 3, 1);
  EXPECT_EQ(take(list, 10), (std::vector<std::size_t>{0, 1, 2}));
  PlayOrder repeat(Program::repeat, 1, 1);
  EXPECT_EQ(take(repeat, 4), (std::vector<std::size_t>{0, 0, 0, 0}));
  PlayOrder once(Program::once, 1, 1);
  EXPECT_EQ(take(once, 4), (std::vector<std::size_t>{0}));

  PlayOrder back(Program::list, 3, 1);
  back.previous();
  EXPECT_EQ(back.current(), 0u);
  back.next();
  back.next();
  back.previous();
  EXPECT_EQ(back.current(), 1u);
}

TEST(PlayOrderTest, ShuffleRoundsPlayEverySongOnceAndNeverTheLastOneAgainAtOnce) {
  for (std::size_t songs : {1u, 2u, 3u, 7u}) {
    for (unsigned seed = 0; seed < 50; ++seed) {
      PlayOrder order(Program::shuffle, songs, seed);
      const std::vector<std::size_t> played = take(order, songs * 20);
      ASSERT_EQ(played.size(), songs * 20);
      std::vector<std::size_t> all(songs);
      std::iota(all.begin(), all.end(), std::size_t{0});
      for (std::size_t round = 0; round < 20; ++round) {
        std::vector<std::size_t> got(played.begin() + round * songs, played.begin() + (round + 1) * songs);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, all) << "round " << round << " seed " << seed;
      }
      if (songs < 2) continue;
      for (std::size_t i = 1; i < played.size(); ++i) EXPECT_NE(played[i], played[i - 1]) << i << " seed " << seed;
    }
  }
}

TEST(PlayOrderTest, ShuffleGoesBackAlongWhatItPlayed) {
  PlayOrder order(Program::shuffle, 4, 9);
  const std::vector<std::size_t> played = take(order, 6);
  order.previous();
  EXPECT_EQ(order.current(), played[5]);
  order.previous();
  EXPECT_EQ(order.current(), played[4]);
}

}  // namespace
}  // namespace kvt::cli
