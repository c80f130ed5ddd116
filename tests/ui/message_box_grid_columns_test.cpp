// Text widths and grid column sizing.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

#include "shell/ui/grid_columns.h"

namespace vm::ui {
namespace {

TEST(GridColumns, WidenOnlyNarrowColumnsOfTheRange) {
  QTableWidget grid(2, 4);
  grid.horizontalHeader()->setMinimumSectionSize(1);
  const QString longText = "A rather long cell text";
  for (int c = 0; c < 4; ++c) {
    grid.setColumnWidth(c, 5);
    grid.setItem(1, c, new QTableWidgetItem(longText));
  }
  grid.setColumnWidth(2, 2000);
  const int needed = TextWidthForFont(longText, 0, grid.font());
  EXPECT_EQ(needed, QFontMetrics(grid.font()).horizontalAdvance("  " + longText + "  "));
  EXPECT_EQ(TextWidthForFont(longText, 10, grid.font()), 10);
  EXPECT_EQ(TextWidthForFont(longText, 100000, grid.font()), needed);

  AutoSizeGridColumns(&grid, 1, 9, 1);  // columns past the grid are skipped
  EXPECT_EQ(grid.columnWidth(0), 5);
  EXPECT_EQ(grid.columnWidth(1), needed);
  EXPECT_EQ(grid.columnWidth(2), 2000);
  EXPECT_EQ(grid.columnWidth(3), needed);
  AutoSizeGridColumns(&grid, 0, 3, 7);  // no such row: nothing changes
  EXPECT_EQ(grid.columnWidth(0), 5);
}

}  // namespace
}  // namespace vm::ui
