#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "drawing/units.h"

namespace vm {
namespace {

TEST(Units, ConvertsBothWaysAndRejectsUnknownCodes) {
  EXPECT_DOUBLE_EQ(MmToUnit(0, 12.5), 12.5);
  EXPECT_DOUBLE_EQ(MmToUnit(1, 25.4), 1.0);
  EXPECT_DOUBLE_EQ(MmToUnit(2, 304.8), 1.0);
  EXPECT_DOUBLE_EQ(UnitToMm(1, 2.0), 50.8);
  EXPECT_DOUBLE_EQ(UnitToMm(2, 1.0), 304.8);
  const double inf = std::numeric_limits<double>::infinity();
  for (int unit : {3, -1, 100}) {
    for (double v : {0.0, 1.0, -7.5, inf}) {
      EXPECT_EQ(MmToUnit(unit, v), 0.0) << unit << " " << v;
      EXPECT_EQ(UnitToMm(unit, v), 0.0) << unit << " " << v;
    }
  }
  EXPECT_STREQ(UnitNames[0], "mm");
  EXPECT_STREQ(UnitNames[1], "in");
  EXPECT_STREQ(UnitNames[2], "ft");
}

TEST(DrawingGlobals, StartAndResetToDefaults) {
  PlotState.X = 5;
  PlotState.Model = "JX100000";
  PlotState.Speeds[2] = 7;
  CurrentUnit = 2;
  WorkingAreaLimits.X = 1000;
  SerialCutActive = true;
  ModelTriangles.push_back({});
  TracedFigures.push_back(std::make_unique<tfigura>());
  SilhouetteGrid.assign(3, tpix2dY(4, 1));

  ResetDrawingGlobals();

  EXPECT_EQ(PlotState.Model, QByteArray("R584    "));
  EXPECT_EQ(PlotState.Model.size(), 8);
  EXPECT_EQ(PlotState.Producer, QByteArray("Corvanta"));
  EXPECT_TRUE(PlotState.Version.isEmpty());
  EXPECT_EQ(PlotState.X, 0);
  EXPECT_EQ(PlotState.Status, 0);
  EXPECT_EQ(PlotState.Speeds[2], 0);
  EXPECT_EQ(CurrentUnit, 0);
  EXPECT_EQ(WorkingAreaLimits.X, 4800);
  EXPECT_EQ(WorkingAreaLimits.Y, 2400);
  EXPECT_EQ(WorkingAreaLimits.Z, 360);
  EXPECT_FALSE(SerialCutActive);
  EXPECT_TRUE(ModelTriangles.empty());
  EXPECT_TRUE(TracedFigures.empty());
  EXPECT_TRUE(SilhouetteGrid.empty());
}

}  // namespace
}  // namespace vm
