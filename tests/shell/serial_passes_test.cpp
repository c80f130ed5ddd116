#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "shell/serial_passes.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(SerialPassSlot, LeadingDigitsFollowedByANonDigit) {
  struct Case {
    const char* name;
    int slot;
  };
  for (const Case c : {Case{"0a.plt", 0}, {"2.plt", 2}, {"10.plt", 10}, {"readme.plt", -1},
                       {"10000.plt", -1}, {"9999.plt", 9999}, {"007_x.plt", 7}, {"12", -1},
                       {"99999999999999999999.plt", -1}, {".plt", -1}}) {
    EXPECT_EQ(SerialPassSlot(QString::fromLatin1(c.name)), c.slot) << c.name;
  }
}

TEST(SerialPassTable, LaterNameInNameOrderWinsASharedNumber) {
  // Given in reverse order: the table must not depend on the listing order.
  const SerialPassTable t = BuildSerialPassTable({"3b.plt", "3a.plt", "03.plt"});
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t.at(3), "3b.plt");
}

TEST(SerialPassTable, ScansAFolderOfPlotFiles) {
  QTemporaryDir dir;
  for (const char* n : {"0a.plt", "2.plt", "10.plt", "readme.plt", "10000.plt", "5.dxf", "7.PLT"}) {
    ASSERT_TRUE(test::WriteAll(dir.filePath(QString::fromLatin1(n)), "PU;"));
  }
  const SerialPassTable t = ScanSerialFolder(dir.path());
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t.at(0), "0a.plt");
  EXPECT_EQ(t.at(2), "2.plt");
  EXPECT_EQ(t.at(7), "7.PLT");
  EXPECT_EQ(t.at(10), "10.plt");
}

}  // namespace
}  // namespace vm
