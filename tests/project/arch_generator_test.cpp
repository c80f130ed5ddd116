// Arch cutting: the notched board, the checks of the curve and the Generate
// command with its overlap warning.
#include <gtest/gtest.h>

#include <numbers>

#include "drawing/matma.h"
#include "project/arch_cutting.h"
#include "project_fixture.h"

namespace vm {
namespace {

using Points = std::vector<TPointI>;

class ArchFixture : public test::ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    ProjectHooks().ciecie = [this](TMDIChild&) {
      ++preparations;
      return true;
    };
    dlg.Windows.Create = [this] {
      windows.push_back(std::make_unique<TMDIChild>());
      return windows.back().get();
    };
    dlg.Windows.Free = [this](TMDIChild* w) { freed.push_back(w); };
    dlg.Windows.PlaceLike = [this](TMDIChild*, const TMDIChild* like) { placedLike = like; };
    dlg.Close = [this] { ++closes; };
    dlg.feuGlebokoscNaciec.OnFocusRequest = [this] { ++depthFocus; };
    source.Caption = "curve.plt";
    source.FileType = 2;
  }
  void AddFigure(const Points& pts) {
    auto f = std::make_unique<tfigura>();
    f->Points = pts;
    source.AddFigure(std::move(f));
  }
  void Generate(const Points& curve, double depthMm) {
    AddFigure(curve);
    dlg.BeginRun(&source);
    dlg.feuGlebokoscNaciec.SetValue(depthMm);
    dlg.btnGenerujClick();
  }

  TMDIChild source;
  TfZaginacz dlg;
  std::vector<std::unique_ptr<TMDIChild>> windows;
  std::vector<TMDIChild*> freed;
  const TMDIChild* placedLike = nullptr;
  int closes = 0, preparations = 0, depthFocus = 0;
};

// Left to right, turning by -pi/2 at (1000, 0).
const Points kRightAngle = {{0, 0}, {1000, 0}, {1000, -1000}};

TEST(ArchOutline, RightAngleNotchOpensByTheTurn) {
  ASSERT_NEAR(TurnAngle(kRightAngle[2], kRightAngle[1], kRightAngle[0]), -std::numbers::pi / 2,
              1e-12);
  bool overlap = true;
  EXPECT_EQ(NotchOutline(kRightAngle, 400, overlap),
            (Points{{0, 400}, {600, 400}, {1000, 0}, {1400, 400}, {2000, 400}}));
  EXPECT_FALSE(overlap);
}

TEST(ArchOutline, StraightVerticesGiveCutsWithoutWidth) {
  bool overlap = true;
  EXPECT_EQ(NotchOutline({{0, 0}, {300, 0}, {700, 0}, {1000, 0}}, 400, overlap),
            (Points{{0, 400},
                    {300, 400},
                    {300, 0},
                    {300, 400},
                    {700, 400},
                    {700, 0},
                    {700, 400},
                    {1000, 400}}));
  EXPECT_FALSE(overlap);
}

// Two turns of -pi/4 283 units apart along the curve.
const Points kTwoBends = {{0, 0}, {1000, 0}, {1200, -200}, {1200, -1000}};

TEST(ArchOutline, NotchesOfCloseVerticesOverlapWhenDeep) {
  bool overlap = false;
  // Half widths 166: the second notch starts at 1117, left of the first one's 1166.
  const Points deep = NotchOutline(kTwoBends, 400, overlap);
  EXPECT_EQ(deep[3], (TPointI{1166, 400}));
  EXPECT_EQ(deep[4], (TPointI{1117, 400}));
  EXPECT_TRUE(overlap);
  NotchOutline(kTwoBends, 100, overlap);
  EXPECT_FALSE(overlap);
}

TEST(ArchOutline, NotchesPastTheBoardsEndsAreFaults) {
  struct Case {
    const char* name;
    Points curve;
  } cases[] = {
      // The notch 200 wide opens 200 before the board's beginning.
      {"before the beginning", {{0, 0}, {200, 0}, {200, -1000}}},
      // The notch closes 200 past the board's far end.
      {"past the end", {{0, 0}, {1000, 0}, {1000, -200}}},
      // Nearly turning back: a notch metres wide on a board of 75 mm.
      {"near reversal", {{0, 0}, {2000, 0}, {1000, -10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool fault = false;
    const Points board = NotchOutline(c.curve, 400, fault);
    EXPECT_TRUE(fault);
    // Without the flag such a board would run backwards in X somewhere.
    bool backwards = false;
    for (std::size_t i = 1; i < board.size(); ++i)
      if (board[i].X < board[i - 1].X) backwards = true;
    EXPECT_TRUE(backwards);
  }
  // A notch that ends exactly at the board's ends is still right.
  bool fault = true;
  NotchOutline({{0, 0}, {400, 0}, {400, -400}}, 400, fault);
  EXPECT_FALSE(fault);
}

TEST(ArchOutline, RepeatedPointsGiveNoNotch) {
  bool overlap = true;
  const Points plain = NotchOutline(kRightAngle, 400, overlap);
  const Points repeated =
      NotchOutline({{0, 0}, {0, 0}, {1000, 0}, {1000, 0}, {1000, 0}, {1000, -1000}, {1000, -1000}},
                   400, overlap);
  EXPECT_EQ(repeated, plain);
  EXPECT_FALSE(overlap);
  // Two distinct points are no curve at all.
  EXPECT_THROW(NotchOutline({{0, 0}, {0, 0}, {1000, 0}}, 400, overlap), RangeError);
}

TEST_F(ArchFixture, GenerateBuildsThePreparedBoardAndCloses) {
  Generate(kRightAngle, 10);
  EXPECT_TRUE(messages.requests.isEmpty());
  ASSERT_EQ(windows.size(), 1u);
  const TMDIChild& w = *windows.front();
  EXPECT_EQ(w.Caption, "curve.plt : " + Tr("Arch_cutting", "caption"));
  EXPECT_EQ(w.FileType, 2);
  ASSERT_EQ(w.FigureCount(), 1);
  EXPECT_EQ(w.Figures[0]->Points.size(), 5u);
  EXPECT_EQ(w.Width, 2000);
  EXPECT_EQ(w.Height, 400);
  EXPECT_EQ(w.SelectedFigure, -1);
  EXPECT_EQ(preparations, 1);
  EXPECT_EQ(closes, 1);
}

TEST_F(ArchFixture, NotchBeforeTheBoardIsShownAsFaulty) {
  Generate({{0, 0}, {200, 0}, {200, -1000}}, 10);
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->Caption, "!!! " + Tr("Arch_cutting", "blednyPrzebieg") + " !!!  curve.plt");
  ASSERT_EQ(Errors().size(), 1);
  EXPECT_TRUE(Errors()[0].startsWith(Tr("Arch_cutting", "bledneParametryDlaKrzywej")));
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(depthFocus, 1);
}

TEST_F(ArchFixture, RepeatedPointsAreNotJudgedAsTurns) {
  // A curve from a drawing that repeats its corner point is accepted and bent
  // as the curve without the repeat.
  Generate({{0, 0}, {1000, 0}, {1000, 0}, {1000, -1000}}, 10);
  EXPECT_TRUE(messages.requests.isEmpty());
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->Figures[0]->Points.size(), 5u);
}

TEST_F(ArchFixture, DrawnRightToLeftTheTurnsMustBePositive) {
  Generate({{1000, -1000}, {1000, 0}, {0, 0}}, 10);
  EXPECT_EQ(windows.size(), 1u);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(ArchFixture, OverlapKeepsTheFaultyWindowAndTheNextGenerateReplacesIt) {
  Generate(kTwoBends, 10);
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->Caption, "!!! " + Tr("Arch_cutting", "blednyPrzebieg") + " !!!  curve.plt");
  EXPECT_EQ(placedLike, &source);
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].caption,
            Tr("Arch_cutting", "caption") + " : " + Tr("Arch_cutting", "blednyPrzebieg"));
  EXPECT_EQ(messages.requests[0].text, Tr("Arch_cutting", "bledneParametryDlaKrzywej") +
                                           "\r\n\r\n" + Tr("Arch_cutting", "zmienParametry") +
                                           " '" + Tr("Arch_cutting", "lSzerMat.caption") + "' ");
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(depthFocus, 1);

  dlg.feuGlebokoscNaciec.SetValue(2.5);
  dlg.btnGenerujClick();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(freed, std::vector<TMDIChild*>{windows[0].get()});
  EXPECT_EQ(closes, 1);
}

struct RefusalCase {
  const char* name;
  std::vector<Points> figures;
  double depth;
  const char* key;  // nullptr: refused without a message
};

class ArchRefusals : public ArchFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ArchRefusals, NoWindowAndFocusOnTheDepth) {
  const RefusalCase& c = GetParam();
  for (const Points& f : c.figures) AddFigure(f);
  dlg.BeginRun(&source);
  dlg.feuGlebokoscNaciec.SetValue(c.depth);
  dlg.btnGenerujClick();
  EXPECT_TRUE(windows.empty());
  EXPECT_EQ(depthFocus, 1);
  EXPECT_EQ(closes, 0);
  if (c.key == nullptr) {
    EXPECT_TRUE(messages.requests.isEmpty());
  } else {
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith(Tr("Arch_cutting", c.key))) << Errors()[0].toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchRefusals,
    ::testing::Values(
        RefusalCase{"NoDepth", {kRightAngle}, 0, nullptr},
        RefusalCase{"TwoPoints", {{{0, 0}, {1000, 0}}}, 10, nullptr},
        RefusalCase{"TwoDistinctPoints", {{{0, 0}, {1000, 0}, {1000, 0}}}, 10, nullptr},
        RefusalCase{"NoFigure", {}, 10, nullptr},
        RefusalCase{"TwoFigures",
                    {kRightAngle, {{0, 500}, {900, 500}, {900, 900}}},
                    10,
                    "projWieloelementNiedozwolony"},
        RefusalCase{"Closed",
                    {{{0, 0}, {1000, 0}, {1000, 1000}, {0, 0}}},
                    10,
                    "projWieloelementNiedozwolony"},
        RefusalCase{"WrongWay", {{{0, 0}, {1000, 0}, {1000, 1000}}}, 10, "niedozwolonaWypuklosc"},
        // Turning back on itself: a notch of infinite width.
        RefusalCase{"Reversal", {{{0, 0}, {1000, 0}, {500, 0}}}, 10, "projektZaDuzy"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vm
