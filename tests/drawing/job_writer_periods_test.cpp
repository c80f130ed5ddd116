// Speed-to-period conversions and the acceleration table.
#include <gtest/gtest.h>

#include <cmath>

#include "drawing/errors.h"
#include "drawing/job_writer.h"

namespace vm {
namespace {

TEST(JobWriterPeriods, FeedToPeriod) {
  struct Case {
    std::uint16_t v;
    std::uint16_t period;
  } cases[] = {{0, 40000},  {20, 40000}, {21, 38095}, {24, 33333},
               {1000, 800}, {3000, 267}, {65535, 12}};
  for (const Case& c : cases) EXPECT_EQ(FeedToPeriod(c.v), c.period) << "v = " << c.v;
}

TEST(JobWriterPeriods, SpeedToPeriodClampsSlowSpeedsToTheLongestPeriod) {
  EXPECT_EQ(SpeedToPeriod(0, 3000), 3000);
  EXPECT_EQ(SpeedToPeriod(0, 1000), 1000);
  // 800000 / v exceeds 16 bits for 1..12.
  for (std::uint16_t v = 1; v <= 12; ++v) EXPECT_EQ(SpeedToPeriod(v, 3000), 65535) << v;
  EXPECT_EQ(SpeedToPeriod(13, 3000), 61538);
  // The conversion is its own inverse at round values.
  EXPECT_EQ(SpeedToPeriod(1000, 3000), 800);
  EXPECT_EQ(SpeedToPeriod(800, 3000), 1000);
}

TEST(JobWriterPeriods, AccelDelayClampsItsIndex) {
  EXPECT_EQ(AccelDelay(-1), 8514);
  EXPECT_EQ(AccelDelay(0), 8514);
  EXPECT_EQ(AccelDelay(1), 4257);
  EXPECT_EQ(AccelDelay(249), 268);
  EXPECT_EQ(AccelDelay(255), 265);
  EXPECT_EQ(AccelDelay(300), 265);
}

// The table follows 4257 / sqrt(i) closely and never rises: a mistyped entry
// breaks one of the two.
TEST(JobWriterPeriods, AccelDelayTableFallsAsTheInverseSquareRoot) {
  for (int i = 1; i < 256; ++i) {
    EXPECT_LE(AccelDelay(i), AccelDelay(i - 1)) << i;
    EXPECT_NEAR(AccelDelay(i), 4257 / std::sqrt(i), 0.008 * 4257 / std::sqrt(i)) << i;
  }
}

}  // namespace
}  // namespace vm
