// Times into a song as `--start` takes them.
#include "time_text.h"

#include <gtest/gtest.h>

namespace kvt::cli {
namespace {

constexpr unsigned long kSixHours = 6 * 3600 * 1000UL;

TEST(TimeTextTest, SecondsMinutesAndHoursWithAFraction) {
  const std::pair<const char*, unsigned long> good[] = {
      {"0", 0},
      {"95", 95000},
      {"1:35", 95000},
      {"0:01:35", 95000},
      {"95.5", 95500},
      {"1:35.25", 95250},
      {"1:02:03.004", 3723004},
      {"6:00:00", kSixHours},
      {"21600", kSixHours},
      {"0:00.999", 999},
  };
  for (const auto& [text, ms] : good) EXPECT_EQ(parse_time_ms(text, kSixHours), ms) << text;
}

TEST(TimeTextTest, AnythingElseIsNoTime) {
  for (const char* text : {"", ":", "1:", ":30", "1:60", "1:5x", "-5", "+5", "1.5:00", "1:2:3:4", "5.", "5.1234",
                           "0x10", "1e3", " 5", "6:00:00.001", "21601", "99999999999999"}) {
    EXPECT_EQ(parse_time_ms(text, kSixHours), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace kvt::cli
