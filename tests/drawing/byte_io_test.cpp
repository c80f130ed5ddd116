#include "drawing/byte_io.h"

#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(ByteWriter, WritesLittleEndianFields) {
  ByteWriter w;
  w.U8(0x41).U16(0x1234).U24(0xABCDEF).I32(-2).U32(0xFFFFFFFFLL).Raw(QByteArray("xy", 2)).Fill(2);
  EXPECT_EQ(test::Hex(w.bytes()), "41 34 12 EF CD AB FE FF FF FF FF FF FF FF 78 79 00 00");
}

TEST(ByteWriter, RefusesValuesThatDoNotFit) {
  ByteWriter w;
  EXPECT_THROW(w.U8(256), RangeError);
  EXPECT_THROW(w.U8(-1), RangeError);
  EXPECT_THROW(w.U16(65536), RangeError);
  EXPECT_THROW(w.U24(0x1000000), RangeError);
  EXPECT_THROW(w.U24(-1), RangeError);
  EXPECT_THROW(w.I32(2147483648LL), RangeError);
  EXPECT_THROW(w.U32(-1), RangeError);
  EXPECT_EQ(w.size(), 0) << "a refused value must leave no partial bytes";
}

TEST(ByteReader, ReadsBackAndStopsAtTheEnd) {
  ByteWriter w;
  w.U8(7).U16(65535).U24(0x123456).I32(-123456).U32(4000000000LL).Raw("abc", 3);
  ByteReader r(w.bytes());
  EXPECT_EQ(r.U8(), 7);
  EXPECT_EQ(r.U16(), 65535);
  EXPECT_EQ(r.U24(), 0x123456u);
  EXPECT_EQ(r.I32(), -123456);
  EXPECT_EQ(r.U32(), 4000000000u);
  EXPECT_EQ(r.remaining(), 3);
  EXPECT_THROW(r.U32(), RangeError);
  EXPECT_EQ(r.pos(), 14) << "a refused read must not move the position";
  EXPECT_THROW(r.Raw(4), RangeError);
  EXPECT_THROW(r.Raw(-1), RangeError);
  EXPECT_EQ(r.Raw(3), QByteArray("abc"));
  EXPECT_TRUE(r.atEnd());
  EXPECT_THROW(r.U8(), RangeError);
  EXPECT_THROW(r.Skip(1), RangeError);
}

}  // namespace
}  // namespace vm
