#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "shell/open_plan.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(OpenPlan, MissingFileOpensNothing) {
  const OpenPlan p = PlanOpenProject("/nonexistent/x.plt", 2);
  EXPECT_TRUE(p.fileMissing);
  EXPECT_TRUE(p.windows.empty());
}

TEST(OpenPlan, PlainModesOpenTheOneFile) {
  QTemporaryDir dir;
  const QString f = dir.filePath("a.plt");
  ASSERT_TRUE(test::WriteAll(f, "PU;"));
  for (int mode : {0, 1, 2}) {
    const OpenPlan p = PlanOpenProject(f, mode);
    ASSERT_EQ(p.windows.size(), 1u);
    EXPECT_EQ(p.windows[0].path, f);
    EXPECT_FALSE(p.closeAll);
    EXPECT_EQ(p.folder, dir.path());
  }
}

TEST(OpenPlan, SerialModeOpensEveryPassHighestFirst) {
  QTemporaryDir dir;
  for (const char* n : {"0a.plt", "2.plt", "10.plt", "readme.plt", "10000.plt"}) {
    ASSERT_TRUE(test::WriteAll(dir.filePath(QString::fromLatin1(n)), "PU;"));
  }
  const OpenPlan p = PlanOpenProject(dir.filePath("readme.plt"), 3);
  EXPECT_TRUE(p.closeAll);
  EXPECT_TRUE(p.tile);
  ASSERT_EQ(p.windows.size(), 3u);
  EXPECT_EQ(p.windows[0].passNumber, 10);
  EXPECT_EQ(p.windows[1].passNumber, 2);
  EXPECT_EQ(p.windows[2].passNumber, 0);
  EXPECT_EQ(p.windows[2].caption, "0a.plt");
  EXPECT_EQ(p.windows[2].path, dir.filePath("0a.plt"));
}

}  // namespace
}  // namespace vm
