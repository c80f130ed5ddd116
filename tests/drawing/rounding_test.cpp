#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "drawing/rounding.h"

namespace vm {
namespace {

TEST(Round, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in;
    int out;
  };
  for (const Case c : {Case{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
                       {2.4999, 2}, {2.5001, 3}, {-0.4, 0}}) {
    EXPECT_EQ(Round(c.in), c.out) << c.in;
  }
}

TEST(Round, OutOfRangeOrNonFiniteRaises) {
  EXPECT_EQ(Round(2147483647.0), 2147483647);
  EXPECT_EQ(Round(-2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_THROW(Round(2147483647.6), RangeError);
  EXPECT_THROW(Round(-2147483649.0), RangeError);
  EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), RangeError);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), RangeError);
  EXPECT_THROW(RoundTo<std::uint8_t>(255.6), RangeError);
  EXPECT_THROW(Round64(9.3e18), RangeError);
}

TEST(CheckedArithmetic, RaisesInsteadOfWrapping) {
  EXPECT_EQ(CheckedAdd<int>(2, 3), 5);
  EXPECT_THROW(CheckedAdd<int>(std::numeric_limits<int>::max(), 1), OverflowError);
  EXPECT_THROW(CheckedMul<int>(65536, 65536), OverflowError);
  EXPECT_THROW(CheckedSub<int>(std::numeric_limits<int>::min(), 1), OverflowError);
  EXPECT_THROW((CheckedCast<std::uint16_t>(70000)), RangeError);
  EXPECT_EQ((CheckedCast<std::uint16_t>(65535)), 65535);
}

}  // namespace
}  // namespace vm
