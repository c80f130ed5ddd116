// Failure messages show Qt texts, bytes and points as values, not object dumps.
#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "drawing/points.h"

namespace vm {
namespace {

TEST(TestPrinters, TextsBytesAndPointsReadAsValues) {
  EXPECT_EQ(testing::PrintToString(QString("Plik ł")), "\"Plik ł\"");
  EXPECT_EQ(testing::PrintToString(QStringList{"a", "b"}), "{ \"a\", \"b\" }");
  EXPECT_EQ(testing::PrintToString(QByteArray("A\x01\xff", 3)), "3 bytes {41 01 FF}");
  EXPECT_EQ(testing::PrintToString(QByteArray()), "0 bytes {}");
  EXPECT_EQ(testing::PrintToString(TPointI{-40, 120}), "(-40, 120)");
  EXPECT_EQ(testing::PrintToString(std::vector<TPointI>{{1, 2}}), "{ (1, 2) }");
  EXPECT_EQ(testing::PrintToString(TPointD{0.5, -1}), "(0.5, -1)");
  EXPECT_EQ(testing::PrintToString(TPoint3I{1, 2, 3}), "(1, 2, 3)");
  EXPECT_EQ(testing::PrintToString(TPoint3F{1.5f, 2, 3}), "(1.5, 2, 3)");
}

}  // namespace
}  // namespace vm
