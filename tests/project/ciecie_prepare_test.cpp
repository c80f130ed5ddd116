// Plain-cutting preparation: the start choice, contact links, connectors,
// weights, entry offsets, path length, progress and re-preparation.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "ciecie_fixture.h"
#include "drawing/errors.h"
#include "drawing/matma.h"
#include "project/ciecie.h"
#include "project/connector_search.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

using test::CountKind;
using test::Env;
using test::F;
using test::MakeProject;
using test::Rect;

class CieciePrepare : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  }
  void TearDown() override { InstallInterfejs(nullptr); }
};

double Perimeter(const tfigura& f) {
  double s = 0;
  for (std::size_t k = 1; k < f.Points.size(); ++k) {
    const double dx = f.Points[k].X - f.Points[k - 1].X;
    const double dy = f.Points[k].Y - f.Points[k - 1].Y;
    s += std::sqrt(dx * dx + dy * dy);
  }
  return s;
}

// The turning angle at every vertex of a finely divided outline (steps of a
// few units, repeated all round) and of a coarse one is the turn between the
// directions of its two edges, each worked out from the edge itself; a figure
// the nesting reversed has its angles reversed and negated.
TEST_F(CieciePrepare, TurningAnglesOfShortAndLongStepsAreTheEdgeByEdgeTurns) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> jitter(-3, 3);
  test::Polyline ring;
  for (int k = 0; k < 3000; ++k) {
    const double a = 2 * 3.141592653589793 * k / 3000;
    ring.push_back({static_cast<int>(std::lround(4000 * std::cos(a))) + jitter(rng),
                    static_cast<int>(std::lround(2500 * std::sin(a))) + jitter(rng)});
  }
  ring.push_back(ring.front());
  // Steps on both sides of 15 units, and long ones.
  test::Polyline steps{{-9000, -6000}};
  for (const int d : {15, 16, -15, -16, 1, 0, 14, 400, -15, 15}) {
    const TPointI last = steps.back();
    steps.push_back({last.X + 20, last.Y + d});
    steps.push_back({last.X + 20 + d, last.Y + d});
  }
  const std::vector<test::Polyline> drawing{ring, steps, Rect(-1000, -800, 1200, 900)};
  auto w = MakeProject(drawing);
  PrepareCiecie(*w, Env(2, true));
  for (std::size_t q = 0; q < drawing.size(); ++q) {
    SCOPED_TRACE(q);
    const test::Polyline& o = drawing[q];
    const tfigura& f = F(*w, static_cast<int>(q));
    ASSERT_EQ(f.Kind, 0);
    const bool same = f.Points == o;
    ASSERT_TRUE(same || test::Polyline(o.rbegin(), o.rend()) == f.Points);
    const auto n = static_cast<int>(o.size());
    ASSERT_EQ(static_cast<int>(f.VertexRecs.size()), n);
    const bool closed = f.typ == 1 && n >= 3;
    for (int k = 0; k < n; ++k) {
      double expected = std::numbers::pi / 2;
      if (k > 0 && k < n - 1)
        expected = TurnBetween(VectorAngle(o[k - 1], o[k]), VectorAngle(o[k], o[k + 1]));
      else if (closed && k == 0)
        expected = TurnBetween(VectorAngle(o[n - 2], o[0]), VectorAngle(o[0], o[1]));
      else if (closed)
        expected = TurnBetween(VectorAngle(o[n - 2], o[n - 1]), VectorAngle(o[n - 1], o[1]));
      const double angle = same ? f.VertexRecs[k].Angle : -f.VertexRecs[n - 1 - k].Angle;
      ASSERT_EQ(angle, expected) << k;
    }
  }
}

TEST_F(CieciePrepare, ThreeNestedSquaresAreJoinedFromTheOutsideIn) {
  auto w =
      MakeProject({Rect(0, 0, 1000, 1000), Rect(100, 100, 900, 900), Rect(200, 200, 800, 800)});
  const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));

  EXPECT_FALSE(r.Aborted);
  EXPECT_EQ(r.Unlinked, 0);
  // The lone 5-point outer square is the frame: nothing is added, depths stay.
  EXPECT_TRUE(w->HasFrame);
  EXPECT_FALSE(w->FrameAdded);
  EXPECT_EQ(w->FirstFigure, 0);
  EXPECT_EQ(F(*w, 0).Depth, 0);
  EXPECT_EQ(F(*w, 1).Depth, 1);
  EXPECT_EQ(F(*w, 2).Depth, 2);
  EXPECT_EQ(F(*w, 2).NestParent, 1);

  ASSERT_EQ(w->FigureCount(), 5);
  EXPECT_EQ(CountKind(*w, 3), 2);
  // Middle square joined to the outer one at its lower-left corners, the
  // inner one to the middle one.
  const tfigura& c1 = F(*w, F(*w, 1).LinkParent);
  EXPECT_EQ(c1.Kind, 3);
  EXPECT_EQ(c1.LinkParent, 0);
  EXPECT_EQ(c1.Points[0], (TPointI{0, 0}));
  EXPECT_EQ(c1.Points[1], (TPointI{100, 100}));
  const tfigura& c2 = F(*w, F(*w, 2).LinkParent);
  EXPECT_EQ(c2.LinkParent, 1);
  EXPECT_EQ(c2.NestParent, 1);
  EXPECT_TRUE(w->ConnectorsDone);
  test::ExpectSoundTree(*w);
  test::ExpectConnectorsMeetTheirEnds(*w);

  EXPECT_EQ(F(*w, 0).EntryVertex, 0);
  EXPECT_EQ(w->EntryLeft, 0);
  EXPECT_EQ(w->EntryBottom, 0);
  EXPECT_EQ(w->EntryRight, 1000);
  EXPECT_EQ(w->EntryTop, 1000);
  double length = 0;
  for (const auto& f : w->Figures) length += Perimeter(*f);
  EXPECT_NEAR(w->PathLength, length, 1e-6);
  EXPECT_NEAR(w->PathLength, 4000 + 3200 + 2400 + 2 * std::sqrt(20000.0), 1e-6);
  EXPECT_TRUE(w->StatusBar.SimpleText.isEmpty());
}

TEST_F(CieciePrepare, AddedFrameLiesTenMillimetresOutAndIsEnteredAtItsLowerLeftCorner) {
  auto w = MakeProject({Rect(0, 0, 1000, 500), Rect(3000, 0, 4000, 500)});
  PrepareCiecie(*w, Env(2, true));

  ASSERT_EQ(CountKind(*w, 1), 1);
  const tfigura& frame = F(*w, 2);
  EXPECT_EQ(frame.Kind, 1);
  EXPECT_EQ(frame.Points, (std::vector<TPointI>{
                              {-400, -400}, {4400, -400}, {4400, 900}, {-400, 900}, {-400, -400}}));
  EXPECT_EQ(w->FirstFigure, 2);
  EXPECT_TRUE(w->FrameAdded);
  EXPECT_TRUE(w->HasFrame);
  EXPECT_EQ(frame.EntryVertex, 0);
  EXPECT_EQ(w->MinX, -400);
  EXPECT_EQ(w->MinY, -400);
  EXPECT_EQ(w->MaxX, 4400);
  EXPECT_EQ(w->Width, 4800);
  EXPECT_EQ(w->Height, 1300);
  EXPECT_EQ(w->EntryLeft, 0);
  EXPECT_EQ(w->EntryBottom, 0);
  EXPECT_EQ(w->EntryRight, 4800);
  EXPECT_EQ(w->EntryTop, 1300);
  // Every figure went one level deeper, the frame included.
  EXPECT_EQ(F(*w, 0).Depth, 1);
  EXPECT_EQ(frame.Depth, 1);
  EXPECT_EQ(CountKind(*w, 3), 2);
  test::ExpectSoundTree(*w);
}

TEST_F(CieciePrepare, WithoutFrameAStartPointAtTheLowerLeftCornerLeadsIn) {
  auto w = MakeProject({Rect(0, 0, 1000, 500), Rect(3000, 0, 4000, 500)});
  const TPlainCutResult r = PrepareCiecie(*w, Env(2, false));

  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_FALSE(w->FrameAdded);
  EXPECT_TRUE(w->HasFrame);
  const tfigura& start = F(*w, w->FirstFigure);
  EXPECT_EQ(start.Kind, 3);
  ASSERT_EQ(start.Points.size(), 2u);
  EXPECT_EQ(start.Points[0], (TPointI{0, 0}));
  EXPECT_EQ(w->MinX, 0);  // the box is not enlarged
  test::ExpectSoundTree(*w);
  // The left square's corner lies on the start point: it is joined by contact.
  EXPECT_EQ(F(*w, 0).LinkParent, w->FirstFigure);
}

TEST_F(CieciePrepare, StartPointTouchesAVertexWithinTenUnitsPerAxisAndMovesOntoIt) {
  // The left and bottom squares set the box corner (0, 0); the middle
  // square's lower-left corner lies (dx, dy) from it: (10, 10) is 14 units
  // away but within 10 in X and in Y, so it touches.
  struct Case {
    int dx, dy;
    bool touches;
  } cases[] = {{10, 10, true}, {0, 10, true}, {11, 0, false}, {0, 11, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    auto w = MakeProject({Rect(0, 2000, 400, 2400), Rect(c.dx, c.dy, c.dx + 300, c.dy + 300),
                          Rect(2000, 0, 2400, 400)});
    const TPlainCutResult r = PrepareCiecie(*w, Env(2, false));
    EXPECT_EQ(r.Unlinked, 0);
    const tfigura& start = F(*w, w->FirstFigure);
    ASSERT_EQ(start.Kind, 3);
    EXPECT_EQ(start.Points[0], (TPointI{0, 0}));
    const tfigura& middle = F(*w, 1);
    if (c.touches) {
      EXPECT_EQ(middle.LinkParent, w->FirstFigure);
      EXPECT_EQ(middle.LinkVertex, 1);
      EXPECT_EQ(middle.Points[middle.EntryVertex], (TPointI{c.dx, c.dy}));
      EXPECT_EQ(start.Points[1], (TPointI{c.dx, c.dy}));
    } else {
      EXPECT_EQ(F(*w, middle.LinkParent).Kind, 3);  // reached through a connector
      EXPECT_EQ(start.Points[1], (TPointI{0, 0}));
    }
    test::ExpectSoundTree(*w);
  }
}

TEST_F(CieciePrepare, LeadInEndMeetsTheDrawingWithinTenUnitsOfDistance) {
  // The lead-in ends (6, 8) from the square's corner, 10 units away: it
  // meets the square and is cut first. At (8, 8), 11.3 units away, it is a
  // free line, so the frame is added and cut first.
  struct Case {
    TPointI end;
    bool leadIn;
  } cases[] = {{{-6, -8}, true}, {{-8, -8}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leadIn);
    auto w = MakeProject({Rect(0, 0, 1000, 1000), {{-2000, 200}, {-1000, 100}, c.end}});
    PrepareCiecie(*w, Env(2, true));
    EXPECT_EQ(w->FrameAdded, !c.leadIn);
    if (c.leadIn) {
      EXPECT_EQ(w->FirstFigure, 1);
      EXPECT_EQ(F(*w, 1).EntryVertex, 0);
      EXPECT_EQ(F(*w, 0).LinkParent, 1);  // by contact: 6 and 8 are within 10 per axis
    } else {
      EXPECT_EQ(F(*w, w->FirstFigure).Kind, 1);
    }
    test::ExpectSoundTree(*w);
  }
}

TEST_F(CieciePrepare, LeadInLineIsCutFirstFromItsFreeEnd) {
  // A lead-in from (-2000, 200) that ends on the square's corner (0, 0).
  auto w = MakeProject({Rect(0, 0, 1000, 1000), {{-2000, 200}, {-1000, 100}, {0, 0}}});
  const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));

  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_EQ(w->FirstFigure, 1);
  EXPECT_EQ(CountKind(*w, 1) + CountKind(*w, 3), 0);  // nothing added
  EXPECT_EQ(F(*w, 0).LinkParent, 1);
  EXPECT_EQ(F(*w, 0).LinkVertex, 2);
  EXPECT_EQ(F(*w, 1).EntryVertex, 0);  // the free end
  EXPECT_FALSE(w->ConnectorsDone);     // no connector search was needed
  EXPECT_EQ(w->EntryLeft, 0);
  EXPECT_EQ(w->EntryBottom, 200);
}

TEST_F(CieciePrepare, OpenFirstFigureIsEnteredWhereNothingHangs) {
  // A lead-in whose free end is its last point; and, in serial cutting, an
  // open line with a square hanging at each end, entered at its vertex
  // nearest the box corner (-300, 0), the middle one.
  struct Case {
    int mode;
    std::vector<test::Polyline> figures;
    int first, entry, left, bottom;
  } cases[] = {
      {2, {Rect(0, 0, 1000, 1000), {{0, 0}, {-1000, 100}, {-2000, 200}}}, 1, 2, 0, 200},
      {3,
       {Rect(-300, 600, 0, 900), Rect(1000, 600, 1300, 900), {{0, 600}, {100, 0}, {1000, 600}}},
       2,
       1,
       400,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    auto w = MakeProject(c.figures);
    const TPlainCutResult r = PrepareCiecie(*w, Env(c.mode, true));
    EXPECT_EQ(r.Unlinked, 0);
    EXPECT_EQ(r.Connectors, 0);
    ASSERT_EQ(w->FirstFigure, c.first);
    EXPECT_EQ(F(*w, c.first).EntryVertex, c.entry);
    EXPECT_EQ(w->EntryLeft, c.left);
    EXPECT_EQ(w->EntryBottom, c.bottom);
  }
}

TEST_F(CieciePrepare, NeighbourListsFromTwentyOneFigures) {
  // Squares in a row, not touching; the added frame makes the count.
  for (const int drawn : {19, 20}) {
    SCOPED_TRACE(drawn);
    std::vector<test::Polyline> figs;
    for (int k = 0; k < drawn; ++k) figs.push_back(Rect(k * 2000, 0, k * 2000 + 1000, 1000));
    auto w = MakeProject(figs);
    const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));
    EXPECT_EQ(r.Unlinked, 0);
    ASSERT_EQ(F(*w, drawn).Kind, 1);
    // Every figure of a list is its own nearest.
    EXPECT_EQ(F(*w, 0).Neighbours[0], drawn + 1 >= 21 ? 0 : -1);
  }
}

TEST_F(CieciePrepare, OfTwoLeadInsTheOneNearerTheLowerLeftCornerIsFirst) {
  // Both end on the square's corners; the left one's box starts nearer to
  // the project's lower-left corner. The other is reached through the square.
  auto w = MakeProject(
      {{{3000, -500}, {1000, 1000}}, Rect(0, 0, 1000, 1000), {{-2000, 200}, {-1000, 100}, {0, 0}}});
  const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));
  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_EQ(w->FirstFigure, 2);
  EXPECT_EQ(F(*w, 1).LinkParent, 2);
  EXPECT_EQ(F(*w, 0).LinkParent, 1);
  EXPECT_EQ(r.Connectors, 0);
}

TEST_F(CieciePrepare, SingleOpenFigureIsItsOwnStart) {
  auto w = MakeProject({{{0, 0}, {500, 100}, {900, 0}}});
  PrepareCiecie(*w, Env(2, true));
  EXPECT_TRUE(w->SingleOpenFigure);
  EXPECT_EQ(w->FigureCount(), 1);
  EXPECT_EQ(F(*w, 0).Depth, 1);
  EXPECT_EQ(F(*w, 0).EntryVertex, 0);
  EXPECT_FALSE(F(*w, 0).Unlinked);
}

TEST_F(CieciePrepare, SerialCuttingWithoutLeadInStartsAtTheLastOutermostFigure) {
  auto w = MakeProject({Rect(0, 0, 1000, 500), Rect(3000, 0, 4000, 500), Rect(100, 100, 200, 200)});
  PrepareCiecie(*w, Env(3, true));
  EXPECT_EQ(w->FirstFigure, 1);
  EXPECT_EQ(CountKind(*w, 1), 0);
  test::ExpectSoundTree(*w);
}

TEST_F(CieciePrepare, VertexWeightsFollowCornersExtremesAndSampling) {
  // A 24-point circle inside a square: its vertices turn by 15 degrees.
  std::vector<TPointI> circle;
  for (int k = 0; k < 24; ++k) {
    const double a = 2 * 3.141592653589793 * k / 24;
    circle.push_back(
        {5000 + int(std::lround(1000 * std::cos(a))), 5000 + int(std::lround(1000 * std::sin(a)))});
  }
  circle.push_back(circle.front());
  auto w = MakeProject({Rect(0, 0, 10000, 10000), circle});
  PrepareCiecie(*w, Env(2, false));

  const tfigura& c = F(*w, 1);
  ASSERT_EQ(c.VertexRecs.size(), 25u);
  // Extremes: 0 max X (and the repeated last point), 6 max Y, 12 min X, 18 min Y.
  // Sampling step 25 div 12 + 1 = 3: vertices 0, 3, 6, ... 24.
  for (int v = 0; v < 25; ++v) {
    const TVertexRec& r = c.VertexRecs[v];
    int weighted = 0, weight = 10;
    if (v == 6 || v == 18) {
      weighted = 1, weight = 8;
    } else if (v == 0 || v == 12) {
      weighted = 1, weight = 9;
    } else if (v % 3 == 0) {
      weighted = 1, weight = 10;
    }
    EXPECT_EQ(r.Weighted, weighted) << v;
    EXPECT_EQ(r.Weight, weight) << v;
  }
  // The square's corners (depth 0): weight 6.
  for (const TVertexRec& r : F(*w, 0).VertexRecs) {
    EXPECT_EQ(r.Weighted, 1);
    EXPECT_EQ(r.Weight, 6);
  }
  // Connectors: every vertex a candidate of weight 5.
  for (const auto& f : w->Figures) {
    if (f->Kind != 3 || f->LinkParent < 0) continue;
    for (const TVertexRec& r : f->VertexRecs) EXPECT_EQ(r.Weight, 5);
  }
}

TEST_F(CieciePrepare, ProgressTextCountsLinkedFigures) {
  auto w = MakeProject({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10), Rect(40, 0, 50, 10)});
  F(*w, 0).Unlinked = false;
  F(*w, 2).Unlinked = false;
  EXPECT_EQ(ReadyText(*w), QStringLiteral("ready 67%"));
  F(*w, 1).Unlinked = false;
  EXPECT_EQ(ReadyText(*w), QStringLiteral("ready 100%"));
  // The percentage rounds halves to even.
  EXPECT_EQ(ReadyTextOf(1, 8), QStringLiteral("ready 12%"));
  EXPECT_EQ(ReadyTextOf(3, 8), QStringLiteral("ready 38%"));
}

// Runs the preparation twice; the second run must give the same project.
TEST_F(CieciePrepare, SecondPreparationStartsOver) {
  for (const bool addFrame : {true, false}) {
    SCOPED_TRACE(addFrame);
    auto w =
        MakeProject({Rect(0, 0, 1000, 500), Rect(3000, 0, 4000, 500), Rect(6000, 0, 6500, 500)});
    PrepareCiecie(*w, Env(2, addFrame));
    std::vector<std::vector<TPointI>> first;
    std::vector<std::array<int, 4>> links;
    for (const auto& f : w->Figures) {
      first.push_back(f->Points);
      links.push_back({f->LinkParent, f->LinkVertex, f->EntryVertex, f->Kind});
    }
    const auto box = std::array{w->MinX, w->MinY, w->MaxX, w->MaxY, w->Width, w->Height};
    const double length = w->PathLength;

    PrepareCiecie(*w, Env(2, addFrame));
    ASSERT_EQ(w->FigureCount(), static_cast<int>(first.size()));
    for (int q = 0; q < w->FigureCount(); ++q) {
      EXPECT_EQ(F(*w, q).Points, first[q]) << q;
      EXPECT_EQ((std::array<int, 4>{F(*w, q).LinkParent, F(*w, q).LinkVertex, F(*w, q).EntryVertex,
                                    F(*w, q).Kind}),
                links[q])
          << q;
    }
    EXPECT_EQ((std::array{w->MinX, w->MinY, w->MaxX, w->MaxY, w->Width, w->Height}), box);
    EXPECT_EQ(w->PathLength, length);
    EXPECT_EQ(CountKind(*w, 1), addFrame ? 1 : 0);
  }
}

TEST_F(CieciePrepare, ResetLeavesUnreachedFiguresHangingFromNothing) {
  auto w = MakeProject({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)});
  ResetPlainCutting(*w);
  for (const auto& f : w->Figures) {
    EXPECT_TRUE(f->Unlinked);
    EXPECT_EQ(f->LinkParent, -1);  // not figure 0, which a saver would take for a parent
  }
}

TEST_F(CieciePrepare, AbortStopsTheSearchAndKeepsWhatWasMade) {
  std::vector<test::Polyline> figs;
  for (int k = 0; k < 6; ++k) figs.push_back(Rect(k * 2000, 0, k * 2000 + 1000, 1000));
  auto w = MakeProject(figs);
  w->PathLength = -1;
  TPlainCutEnv env = Env(2, true);
  env.Aborted = [] { return true; };
  const TPlainCutResult r = PrepareCiecie(*w, env);
  EXPECT_TRUE(r.Aborted);
  EXPECT_FALSE(w->ConnectorsDone);
  EXPECT_GT(r.Unlinked, 0);
  EXPECT_EQ(w->PathLength, -1);  // left as it was
  EXPECT_TRUE(w->StatusBar.SimpleText.startsWith("ready "));
}

TEST_F(CieciePrepare, AbortAmongNestedFiguresKeepsTheUnreachedParentFlagged) {
  // The right square is not reached when its children are being joined to
  // it; the operator stops the search right then.
  auto w = MakeProject({Rect(5000, 0, 9000, 4000), Rect(5500, 500, 6000, 1000),
                        Rect(7000, 500, 7500, 1000), Rect(5500, 2000, 6000, 2500),
                        Rect(0, 0, 4000, 4000)});
  TPlainCutEnv env = Env(2, true);
  env.Aborted = [] { return true; };
  const TPlainCutResult r = PrepareCiecie(*w, env);
  ASSERT_TRUE(r.Aborted);
  EXPECT_TRUE(F(*w, 0).Unlinked);
  EXPECT_EQ(F(*w, 0).LinkParent, -1);
  EXPECT_EQ(r.Connectors, 3);  // frame to the left square, two children to the right one
  // The children joined so far hang, through connectors, from the right
  // square or from a sibling.
  int joined = 0;
  for (int q : {1, 2, 3}) {
    if (F(*w, q).Unlinked) continue;
    ++joined;
    const int t = F(*w, F(*w, q).LinkParent).LinkParent;
    EXPECT_TRUE(t >= 0 && t <= 3 && t != q) << q;
  }
  EXPECT_EQ(joined, 2);
}

TEST_F(CieciePrepare, FrameBeyondTheIntegerRangeFailsAndClosesTheWindow) {
  const int low = std::numeric_limits<std::int32_t>::min() + 100;
  const std::vector<test::Polyline> figs = {Rect(low, 0, low + 1000, 1000),
                                            Rect(low + 3000, 0, low + 4000, 1000)};
  auto w = MakeProject(figs);
  EXPECT_THROW(PrepareCiecie(*w, Env(2, true)), OverflowError);

  ResetProjectHooks();
  ResetDlgkonfig();
  InstallPlainCutting();
  Dlgkonfig().Mode.SetItemIndex(2);
  Dlgkonfig().AddFrame.SetChecked(true);
  auto w2 = MakeProject(figs);
  {
    ScopedMessageRecorder messages;
    EXPECT_FALSE(w2->ciecie());
    ASSERT_EQ(messages.requests.size(), 1);
    EXPECT_EQ(messages.requests.back().icon, MessageIcon::Error);
  }
  EXPECT_TRUE(w2->CloseRequested);
  ResetDlgkonfig();
  ResetProjectHooks();
}

}  // namespace
}  // namespace vm
