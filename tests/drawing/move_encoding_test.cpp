#include "drawing/move_encoding.h"

#include <gtest/gtest.h>

#include <climits>

#include "drawing/errors.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(MoveEncoding, BuildsTheFourteenBytes) {
  struct Case {
    int factor, dx, dy, dz;
    int count;
    const char* hex;
  };
  for (const Case& c : {
           Case{1, 0, 0, 0, 0, ""},
           {1, -3, 4, 0, 6, "41 01 06 00 00 03 00 00 04 00 00 00 00 00"},
           {1, 1, 0, 0, 2, "41 00 02 00 00 01 00 00 00 00 00 00 00 00"},  // Round(1.5)
           {1, 0, 2, 0, 2, "41 00 02 00 00 00 00 00 02 00 00 00 00 00"},  // Round(2.5)
           {3, -3, 4, 0, 18, "41 01 12 00 00 03 00 00 04 00 00 00 00 00"},
           {1, 0, -70000, -5, 70001, "41 06 71 11 01 00 00 00 70 11 01 05 00 00"},
           {0, 10, 10, 10, 0, ""},
       }) {
    QByteArray cmd = "stale";
    int count = -99;
    EncodeMove(c.factor, c.dx, c.dy, cmd, count, c.dz);
    EXPECT_EQ(count, c.count) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_EQ(test::Hex(cmd), c.hex) << c.dx << "," << c.dy << "," << c.dz;
  }
}

TEST(MoveEncoding, RefusesWhatDoesNotFitTwentyFourBits) {
  QByteArray cmd;
  int count = 0;
  // The amount fits, but the count Round(16777215.5) = 16777216 does not.
  EXPECT_THROW(EncodeMove(1, 16777215, 0, cmd, count, 0), RangeError);
  EXPECT_EQ(count, 16777216);
  EXPECT_TRUE(cmd.isEmpty());
  EXPECT_THROW(EncodeMove(1, 0, 0, cmd, count, -16777216), RangeError);
  EXPECT_THROW(EncodeMove(3, 6000000, 0, cmd, count, 0), RangeError);  // count * factor
  EXPECT_THROW(EncodeMove(INT_MAX, 10, 0, cmd, count, 0), OverflowError);
  EncodeMove(1, 16777214, 0, cmd, count, 0);  // Round(16777214.5) = 16777214 fits
  EXPECT_EQ(test::Hex(cmd), "41 00 FE FF FF FE FF FF 00 00 00 00 00 00");
}

TEST(MoveEncoding, LittleEndianEncoders) {
  QByteArray s;
  WordToChars(0x1234, s);
  EXPECT_EQ(test::Hex(s), "34 12");
  Int24ToChars(-1, s);
  EXPECT_EQ(test::Hex(s), "FF FF FF");
  Int24ToChars(0x123456, s);
  EXPECT_EQ(test::Hex(s), "56 34 12");
}

}  // namespace
}  // namespace vm
