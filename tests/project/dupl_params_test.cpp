// The duplication parameter file: what is written, what is read back, and
// defaults for missing or unreadable values.
#include <gtest/gtest.h>

#include "dupl_fixture.h"
#include "project/profile_ini.h"

namespace vm {
namespace {

using test::DuplicationFixture;

TEST_F(DuplicationFixture, SavedSectionReplacesTheOldOneAndKeepsOtherSections) {
  const QString path = dir.filePath("part.dpl");
  ASSERT_TRUE(test::WriteAll(path,
                             "[Other]\r\nkeep=1\r\n[duplication_parameters]\r\n"
                             "Number of rows=7\r\nstale=x\r\n[Tail]\r\nz=2\r\n"));
  dlg.Columns = 3;
  dlg.Rows = 2;
  dlg.ElementShift = 22.5;
  dlg.RowShift = 0.125;
  dlg.VLineDistance = 1;
  dlg.HLineDistance = 200;
  dlg.SaveParams(path);
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(QString::fromLatin1(test::ReadAll(path)),
            "[Other]\r\nkeep=1\r\n[Tail]\r\nz=2\r\n[Duplication_parameters]\r\n"
            "Number of elements in a row=3\r\nNumber of rows=2\r\n"
            "Space between the elements=22" +
                dp +
                "5\r\n"
                "Space between the rows=0" +
                dp +
                "125\r\n"
                "Space between the elements and the vertical connecting line=0" +
                dp +
                "025\r\n"
                "Space between the elements and the horizontal connecting line=5\r\n");
}

struct ReadCase {
  const char* name;
  const char* section;
  bool loaded;
  std::int32_t columns, rows;
  double shift, rowShift;
  std::int32_t vLine, hLine;
};

class DuplicationRead : public DuplicationFixture,
                        public ::testing::WithParamInterface<ReadCase> {};

// Pattern 10 mm x 5 mm: defaults 20 and 15 mm, line distances half the gaps.
TEST_P(DuplicationRead, MissingOrBadValuesReadAsDefaults) {
  const ReadCase& c = GetParam();
  const QString path = dir.filePath("p.dpl");
  ASSERT_TRUE(test::WriteAll(path, c.section));
  dlg.PatternWidth = 10;
  dlg.PatternHeight = 5;
  ASSERT_EQ(dlg.LoadParams(path), c.loaded);
  if (!c.loaded) return;
  EXPECT_EQ(dlg.Columns, c.columns);
  EXPECT_EQ(dlg.Rows, c.rows);
  EXPECT_DOUBLE_EQ(dlg.ElementShift, c.shift);
  EXPECT_DOUBLE_EQ(dlg.RowShift, c.rowShift);
  EXPECT_EQ(dlg.VLineDistance, c.vLine);
  EXPECT_EQ(dlg.HLineDistance, c.hLine);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DuplicationRead,
    ::testing::Values(
        ReadCase{"NoSection", "[Other]\nNumber of rows=4\n", false, 0, 0, 0, 0, 0, 0},
        ReadCase{"EmptySection", "[Duplication_parameters]\n", true, 2, 1, 20, 15, 200, 200},
        ReadCase{"AllValues",
                 "[Duplication_parameters]\nNumber of elements in a row = 4\n"
                 "Number of rows=3\nSpace between the elements=30,5\n"
                 "Space between the rows=12\n"
                 "Space between the elements and the vertical connecting line=2.5\n"
                 "Space between the elements and the horizontal connecting line=1\n",
                 true, 4, 3, 30.5, 12, 100, 40},
        // Defaults of the line distances follow the shifts read.
        ReadCase{"Unreadable",
                 "[Duplication_parameters]\nNumber of elements in a row=2.5\n"
                 "Number of rows=x\nSpace between the elements=30\n"
                 "Space between the rows=inf\n"
                 "Space between the elements and the vertical connecting line=nan\n"
                 "Space between the elements and the horizontal connecting line=1e300\n",
                 true, 2, 1, 30, 15, 400, 200},
        // Shifts past the coordinate range read as their defaults, and so do
        // the line distances that default to half their gaps.
        ReadCase{"ShiftsPastRange",
                 "[Duplication_parameters]\nSpace between the elements=1e300\n"
                 "Space between the rows=-6e7\n",
                 true, 2, 1, 20, 15, 200, 200}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DuplicationFixture, MissingFileGivesNoParameters) {
  EXPECT_FALSE(dlg.LoadParams(dir.filePath("none.dpl")));
  EXPECT_FALSE(dlg.LoadParams(QString()));
}

TEST(DuplicationFileName, ExtensionOfTheLastPathPartReplaced) {
  EXPECT_EQ(ParameterFileName("/a.b/part.plt"), "/a.b/part.dpl");
  EXPECT_EQ(ParameterFileName("C:\\a.b\\part"), "C:\\a.b\\part.dpl");
  EXPECT_EQ(ParameterFileName("x.y.dxf"), "x.y.dpl");
}

}  // namespace
}  // namespace vm
