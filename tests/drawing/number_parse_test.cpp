#include "drawing/number_parse.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(NumberParse, ReadsDecimalsWithPointOrComma) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"12", 12},
                        {"-3.5", -3.5},
                        {"4,25", 4.25},
                        {".5", 0.5},
                        {"7.", 7},
                        {"+2.5", 2.5},
                        {"-0,125", -0.125},
                        {"1e3", 1000}}) {
    EXPECT_DOUBLE_EQ(ParseFileDouble(c.text), c.value) << c.text;
  }
  for (const char* bad : {"", ".", "+", "-", "1-2", "+-1", "1.2.3", "inf", "nan", "1e999", " 1",
                          "1 ", "0x10", "1,2,3"}) {
    EXPECT_THROW(ParseFileDouble(bad), ConversionError) << bad;
  }
}

TEST(NumberParse, ReadsThirtyTwoBitIntegers) {
  EXPECT_EQ(ParseFileInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseFileInt("+17"), 17);
  for (const char* bad : {"2147483648", "1.5", "", "--1", "12a"}) {
    EXPECT_THROW(ParseFileInt(bad), ConversionError) << bad;
  }
}

}  // namespace
}  // namespace vm
