// Preparing a project again after the settings changed starts from its
// drawing: whatever mode it was prepared for before, its job is byte for byte
// the job of the same drawing loaded fresh in the new mode. Projects made by
// the generators keep their figure order in turning.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "machine/job_settings.h"
#include "project/ciecie.h"
#include "project/duplication.h"
#include "project/generated_project.h"
#include "project/prepare_mode.h"
#include "sim/job_decoder.h"
#include "turning_fixture.h"

namespace vm::test {
namespace {

// A turning drawing as an operator draws it: the spindle axis along the
// bottom, the turntable axis on the right, a profile above the spindle axis,
// and a triangle inside a rectangle (nested two deep once plain cutting has
// added its frame around them).
const QByteArray kDrawing =
    "IN;SP1;"
    "PU0,0;PD8000,0;PU;"
    "PU9000,0;PD9000,6000;PU;"
    "PU0,1200;PD1000,1600,2500,1600,3000,2400,5000,2400,6000,1400,8000,1400;PU;"
    "PU1000,3200;PD7000,3200,7000,5600,1000,5600,1000,3200;PU;"
    "PU2000,3600;PD4000,3600,3000,5000,2000,3600;PU;";

// A work mode with its fastening, and the job code the cut sequencer writes
// for it.
struct TWorkMode {
  const char* name;
  int mode;
  int stolik;
  TJobOutputMode code;
};

const TWorkMode kModes[] = {
    {"plain cutting", 2, 0, JobPlainCutting},
    {"turning on the spindle", 0, 0, JobTurningSpindle},
    {"turning on the turntable", 0, 1, JobTurningTable},
    {"turning without fastening", 0, 2, JobPlainCutting},
    {"rotary cutting on the spindle", 1, 0, JobRotarySpindle},
    {"rotary cutting on the turntable", 1, 1, JobRotaryTable},
};

class Reprepare : public TurningFixture {
 protected:
  void SetUp() override {
    TurningFixture::SetUp();
    InstallPlainCutting();
    Dlgkonfig().ilosckrokow.SetValue(1);
    Dlgkonfig().CatDir.SetItemIndex(2);
    drawing = Write("profile.plt", kDrawing);
  }

  static void Select(const TWorkMode& m) {
    Dlgkonfig().Mode.SetItemIndex(m.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(m.stolik);
  }

  // The job of the window's current preparation, written as the cut
  // sequencer writes it (start positions fixed).
  QByteArray Job(TMDIChild& w, const TWorkMode& m) {
    JobSettings job = CurrentJobSettings(m.code, &w, 1, false);
    job.RotaryStartX = 750;
    job.RotaryStartY = 980;
    const QString path = dir.filePath(QStringLiteral("out.cn"));
    const std::int32_t last = w.FigureCount() - 1;
    if (m.code == JobPlainCutting || m.code == JobSerialCutting) w.CutFrame = true;
    w.SaveJob(m.code, path, 0, last, 0, job);
    return ReadAll(path);
  }

  QString drawing;
};

TEST_F(Reprepare, EveryModeFromEveryEarlierPreparationGivesTheFreshJob) {
  for (const TWorkMode& to : kModes) {
    SCOPED_TRACE(to.name);
    Select(to);
    TMDIChild fresh;
    ASSERT_TRUE(fresh.Load(drawing));
    const QByteArray expected = Job(fresh, to);
    ASSERT_TRUE(sim::DecodeJob(expected).ok());

    for (const TWorkMode& from : kModes) {
      SCOPED_TRACE(std::string("after ") + from.name);
      Select(from);
      TMDIChild w;
      ASSERT_TRUE(w.Load(drawing));
      // A job written in the earlier mode leaves its marks too (a plain-cutting
      // save may reverse open figures).
      Job(w, from);
      Select(to);
      ASSERT_TRUE(PrepareForCurrentMode(w));
      EXPECT_EQ(w.FigureCount(), fresh.FigureCount());
      EXPECT_EQ(w.FirstFigure, fresh.FirstFigure);
      EXPECT_EQ(Job(w, to), expected);
    }
  }
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
}

TEST_F(Reprepare, TurningAfterPlainCuttingCutsTheNestedTriangleInItsPlace) {
  // Plain cutting nests the triangle two deep (inside the rectangle inside
  // the frame it adds); turning numbers the figures of the drawing in order.
  Select(kModes[0]);
  TMDIChild w;
  ASSERT_TRUE(w.Load(drawing));
  Select(kModes[1]);
  ASSERT_TRUE(PrepareForCurrentMode(w));
  ASSERT_EQ(w.FigureCount(), 5);
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    EXPECT_EQ(w.Figures[static_cast<std::size_t>(i)]->OrderNo, i + 1) << i;
    EXPECT_EQ(w.Figures[static_cast<std::size_t>(i)]->Depth, 0) << i;
  }
  EXPECT_LT(w.FirstFigure, w.FigureCount());
  EXPECT_EQ(w.Figures[4]->Points.front(), (TPointI{2000, 3600}));  // the triangle comes last
}

TEST_F(Reprepare, TurningLeavesNoFirstFigureOfPlainCuttingPastTheList) {
  // A project built in code keeps no drawing: turning removes what plain
  // cutting added, and the first figure it named goes with it.
  auto w = Project({{{0, 0}, {4000, 0}},
                    {{0, 400}, {1000, 800}, {4000, 800}},
                    {{1000, 1200}, {3000, 1200}, {3000, 2000}, {1000, 2000}, {1000, 1200}}});
  Dlgkonfig().AddFrame.SetChecked(true);
  Select(kModes[0]);
  ASSERT_TRUE(w->ciecie());
  ASSERT_GT(w->FigureCount(), 3);
  Select(kModes[1]);
  ASSERT_TRUE(w->toczenie());
  EXPECT_EQ(w->FigureCount(), 3);
  EXPECT_GE(w->FirstFigure, 0);
  EXPECT_LT(w->FirstFigure, w->FigureCount());
}

TEST_F(Reprepare, GeneratedFiguresKeepTheirOrderInTurning) {
  // Every figure a generator makes is the turning child of no figure.
  EXPECT_EQ(tfigura().TurnParent, -1);

  // Two copies side by side of a profile over its axis line, joined by the
  // duplication's connecting lines; turned on the spindle (the lowest axis
  // line is the axis). No figure becomes the child of the first one.
  TMDIChild source;
  for (const Pts& points : {Pts{{0, 0}, {2000, 0}}, Pts{{0, 400}, {1000, 800}, {2000, 400}}}) {
    auto f = std::make_unique<tfigura>();
    f->Points = points;
    source.AddFigure(std::move(f));
  }
  source.Ustaw_PPiPK();
  TMDIChild w;
  BuildDuplicateFigures(PatternOf(source), {2, 1, 3000, 0, 80, 200, 200}, w);
  Select(kModes[0]);
  ASSERT_TRUE(FinishGeneratedProject(w));
  Select(kModes[1]);
  ASSERT_TRUE(PrepareForCurrentMode(w));

  TMDIChild drawn;
  BuildDuplicateFigures(PatternOf(source), {2, 1, 3000, 0, 80, 200, 200}, drawn);
  ASSERT_EQ(w.FigureCount(), drawn.FigureCount());
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(i)];
    EXPECT_EQ(f.TurnParent, -1) << i;
    EXPECT_EQ(f.OrderNo, i + 1) << i;
    // In its place (turning may have reversed it to run towards larger X).
    const auto& p = drawn.Figures[static_cast<std::size_t>(i)]->Points;
    EXPECT_TRUE(f.Points.front() == p.front() || f.Points.front() == p.back()) << i;
  }
}

// The kept drawing holds its points packed as steps from point to point; every
// point comes back exactly, from steps of one unit to jumps across the whole
// coordinate range, and everything else of a figure comes back as it was.
TEST(KeptDrawing, GivesBackEveryPointAndFieldExactly) {
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  std::mt19937 rng(7);
  Pts walk{{-5, 3}};
  for (int k = 0; k < 5000; ++k) {
    // Mostly small steps, now and then a long one.
    const int reach = k % 97 == 0 ? 1 << 30 : k % 7 == 0 ? 5000 : 3;
    std::uniform_int_distribution<int> step(-reach, reach);
    const TPointI last = walk.back();
    walk.push_back({std::clamp(last.X + step(rng), -(1 << 30), 1 << 30),
                    std::clamp(last.Y + step(rng), -(1 << 30), 1 << 30)});
  }
  const std::vector<Pts> drawing = {
      {{lo, lo}},
      {{hi, hi}},
      {{lo, hi}, {lo + 1, hi}, {lo + 1, hi - 1}},
      {{hi, lo}, {hi - 70000, lo}},
      walk,
      {{0, 0}},
      {{-1, -1}, {1, 1}, {-1, -1}},
  };
  auto w = std::make_unique<TMDIChild>();
  for (const Pts& pts : drawing) {
    auto f = std::make_unique<tfigura>();
    f->Points = pts;
    f->Pen = static_cast<std::int32_t>(pts.size() % 5);
    f->PenWidth = 0.25 * static_cast<double>(pts.size() % 3);
    f->VertexRecs.assign(pts.size() % 4, TVertexRec{0.5, 8, 1});
    f->Outline = {{1, 2}};
    w->Figures.push_back(std::move(f));
  }
  w->Ustaw_PPiPK();
  std::vector<tfigura> before;
  for (const auto& f : w->Figures) before.push_back(*f);
  w->KeepDrawing();
  // The kept copy leaves the window's figures as they were.
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(w->Figures[i]->Points, before[i].Points);

  // Whatever a preparation does to the list, the drawing comes back, again
  // and again.
  for (int round = 0; round < 2; ++round) {
    std::reverse(w->Figures.begin(), w->Figures.end());
    w->Figures.front()->Points.assign(3, TPointI{9, 9});
    w->Figures.push_back(std::make_unique<tfigura>());
    ASSERT_TRUE(w->StartFromDrawing());
    ASSERT_EQ(w->Figures.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
      SCOPED_TRACE(i);
      const tfigura& f = *w->Figures[i];
      EXPECT_EQ(f.Points, before[i].Points);
      EXPECT_EQ(f.Pen, before[i].Pen);
      EXPECT_EQ(f.PenWidth, before[i].PenWidth);
      EXPECT_EQ(f.fig_pp, before[i].fig_pp);
      EXPECT_EQ(f.fig_pk, before[i].fig_pk);
      EXPECT_EQ(f.Index, before[i].Index);
      EXPECT_EQ(f.VertexRecs.size(), before[i].VertexRecs.size());
      EXPECT_EQ(f.Outline, before[i].Outline);
    }
  }
}

}  // namespace
}  // namespace vm::test
