// Plain-cutting jobs laid over their drawings: the job written after the
// preparation is decoded and must cut every drawn edge, and every move off
// the drawn edges (connectors, frame, start point) must meet the drawn
// figures only at its own ends. Drawings the search that tests only the two
// figures joined already cuts cleanly keep byte-identical jobs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <random>

#include "ciecie_fixture.h"
#include "drawing/errors.h"
#include "job_check.h"
#include "project/ciecie.h"
#include "project/edge_index.h"
#include "random_drawings.h"
#include "saver_fixture.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm {
namespace {

using test::F;
using test::JobProblems;
using test::MakeProject;
using test::Polyline;
using test::Rect;

// Millimetres to plotter units.
constexpr int mm = 40;

std::string Numbers(const std::vector<std::int32_t>& figures) {
  return FigureNumbers(figures).toStdString();
}

class PlainCutReach : public test::SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    SaverTest::TearDown();
  }

  static TPlainCutEnv Env(int mode, bool addFrame, bool keepCrossings = false) {
    TPlainCutEnv env = test::Env(mode, addFrame);
    env.KeepCrossingConnectors = keepCrossings;
    return env;
  }

  // Writes the job of a prepared project and returns its bytes.
  QByteArray WriteJob(TMDIChild& w, int mode, bool cutFrame = true) {
    QFile::remove(Path());
    // Only a frame the program added may be left uncut (the operator's choice).
    w.CutFrame = cutFrame || !w.FrameAdded;
    w.save_ciecie(Path(), 0, 0, w.FigureCount() - 1,
                  Job(mode == 3 ? JobSerialCutting : JobPlainCutting, mode));
    return Bytes();
  }

  // Prepares the drawing with the mended search and checks its job.
  std::unique_ptr<TMDIChild> PrepareAndCheck(const std::vector<Polyline>& drawing, int mode,
                                             bool addFrame) {
    auto w = MakeProject(drawing);
    const TPlainCutResult r = PrepareCiecie(*w, Env(mode, addFrame));
    EXPECT_TRUE(r.UnreachedFigures.empty()) << Numbers(r.UnreachedFigures);
    EXPECT_EQ(r.Unlinked, 0);
    const QStringList problems = JobProblems(*w, WriteJob(*w, mode));
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
    return w;
  }
};

TEST_F(PlainCutReach, LeadInInsideThePlateReachesThePlateFromItsFreeEnd) {
  // A 150 mm plate (drawn with a point in the middle of its lower edge, so
  // it is not taken for a frame) with a 50 mm square hole, and a lead-in
  // from (25, 25) mm to the hole's corner: the lead-in is the first figure,
  // inside the plate.
  const Polyline plate = {{0, 0},        {75 * mm, 0}, {150 * mm, 0}, {150 * mm, 150 * mm},
                          {0, 150 * mm}, {0, 0}};
  const std::vector<Polyline> drawing = {
      plate, Rect(50 * mm, 50 * mm, 100 * mm, 100 * mm), {{25 * mm, 25 * mm}, {50 * mm, 50 * mm}}};
  {
    // Joined only to a closed first figure, the plate was never reached and
    // the job would have left its outline uncut: such a job is refused.
    auto w = MakeProject(drawing);
    const TPlainCutResult r = PrepareCiecie(*w, Env(2, false, true));
    EXPECT_EQ(r.UnreachedFigures, std::vector<std::int32_t>{0});
    QFile::remove(Path());
    try {
      w->save_ciecie(Path(), 0, 0, w->FigureCount() - 1, Job(JobPlainCutting, 2));
      ADD_FAILURE() << "a job that leaves the plate uncut was written";
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "sciezkaNiepelna");
      EXPECT_EQ(e.detail(), "0");
    }
    EXPECT_FALSE(QFile::exists(Path()));
  }
  for (const int mode : {2, 3}) {
    SCOPED_TRACE(mode);
    auto w = PrepareAndCheck(drawing, mode, mode == 2);
    EXPECT_EQ(w->FirstFigure, 2);
    // One connector, from the lead-in's free end to the plate's corner.
    ASSERT_EQ(w->FigureCount(), 4);
    const tfigura& conn = F(*w, 3);
    EXPECT_EQ(conn.LinkParent, 2);
    EXPECT_EQ(conn.Points[0], (TPointI{25 * mm, 25 * mm}));
    EXPECT_EQ(conn.Points[1], (TPointI{0, 0}));
    EXPECT_EQ(F(*w, 0).LinkParent, 3);
    test::ExpectSoundTree(*w);
  }
}

TEST_F(PlainCutReach, BarBetweenTwoSquaresIsNeverCutThrough) {
  // Two 20 mm squares either side of a 10 mm x 220 mm bar. The nearest pair
  // of corners joins the squares straight through the bar.
  const std::vector<Polyline> drawing = {Rect(25 * mm, 0, 35 * mm, 220 * mm),
                                         Rect(0, 100 * mm, 20 * mm, 120 * mm),
                                         Rect(40 * mm, 100 * mm, 60 * mm, 120 * mm)};
  {
    auto w = MakeProject(drawing);
    PrepareCiecie(*w, Env(2, false, true));
    const QStringList problems = JobProblems(*w, WriteJob(*w, 2));
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.join("\n").contains("through figure 0"))
        << problems.join("\n").toStdString();
  }
  for (const bool addFrame : {false, true}) {
    SCOPED_TRACE(addFrame);
    auto w = PrepareAndCheck(drawing, 2, addFrame);
    // Both squares hang on the bar.
    for (const int square : {1, 2}) {
      const tfigura& conn = F(*w, F(*w, square).LinkParent);
      EXPECT_EQ(conn.Kind, 3);
      EXPECT_EQ(conn.LinkParent, 0) << square;
    }
  }
}

// A sheet of letters in a drawn frame, in rows of words like "OIOIB": "O"
// (a round outline with a round hole), "B" (an outline with two holes) and
// "I" (a thin bar much taller than its neighbours, with corners only at its
// ends, so the letters either side of it lie nearer to each other than to
// any of its corners).
std::vector<Polyline> LetterSheet(int rows, int cols) {
  auto ring = [](int cx, int cy, double r, int n) {
    Polyline p;
    for (int k = 0; k < n; ++k) {
      const double a = 2 * 3.141592653589793 * k / n;
      p.push_back({cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))});
    }
    p.push_back(p.front());
    return p;
  };
  std::vector<Polyline> figs;
  const int pitch = 30 * mm, rowPitch = 100 * mm;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      const int cx = 20 * mm + c * pitch, cy = 50 * mm + r * rowPitch;
      if (c % 2 == 1) {
        figs.push_back(Rect(cx - 2 * mm, cy - 40 * mm, cx + 2 * mm, cy + 40 * mm));
      } else if ((r + c / 2) % 3 != 2) {
        figs.push_back(ring(cx, cy, 12 * mm, 30));
        figs.push_back(ring(cx + 20, cy - 10, 5 * mm, 12));
      } else {
        figs.push_back({{cx - 10 * mm, cy - 12 * mm},
                        {cx + 6 * mm, cy - 12 * mm},
                        {cx + 10 * mm, cy - 6 * mm},
                        {cx + 6 * mm, cy},
                        {cx + 10 * mm, cy + 6 * mm},
                        {cx + 6 * mm, cy + 12 * mm},
                        {cx - 10 * mm, cy + 12 * mm},
                        {cx - 10 * mm, cy - 12 * mm}});
        figs.push_back(Rect(cx - 6 * mm, cy - 9 * mm, cx + 3 * mm, cy - 2 * mm));
        figs.push_back(Rect(cx - 6 * mm, cy + 2 * mm, cx + 3 * mm, cy + 9 * mm));
      }
    }
  figs.push_back(Rect(0, 0, cols * pitch + 10 * mm, rows * rowPitch));
  return figs;
}

TEST_F(PlainCutReach, SheetOfLettersWithHolesInAFrameIsCutCleanly) {
  const auto drawing = LetterSheet(4, 11);
  {
    auto legacy = MakeProject(drawing);
    PrepareCiecie(*legacy, Env(2, false, true));
    // The sheet holds connectors that cut through letters when only the two
    // figures joined are tested.
    EXPECT_FALSE(JobProblems(*legacy, WriteJob(*legacy, 2)).isEmpty());
  }
  for (const int mode : {2, 3}) {
    SCOPED_TRACE(mode);
    auto w = PrepareAndCheck(drawing, mode, false);
    EXPECT_EQ(w->FirstFigure, static_cast<int>(drawing.size()) - 1);
    test::ExpectSoundTree(*w);
    test::ExpectConnectorsMeetTheirEnds(*w);
  }
}

TEST_F(PlainCutReach, FloorPlanFromAFileWithALeadInIsCutWhole) {
  // An L-shaped floor (drawn in two runs the loader joins) with five rooms,
  // a lead-in from inside the floor to the first room's corner, a partition
  // with a pillar either side of it and a round column.
  ResetProjectHooks();
  InstallPlainCutting();
  Dlgkonfig().Mode.SetItemIndex(2);
  TMDIChild w;
  w.FileType = 1;
  {
    ScopedMessageRecorder messages;
    ASSERT_TRUE(w.Load(test::DataPath("plaincut/floor_plan.plt")));
    EXPECT_TRUE(messages.requests.isEmpty()) << messages.lastText().toStdString();
  }
  EXPECT_TRUE(UnreachedFigures(w).empty());
  EXPECT_TRUE(F(w, w.FirstFigure).Open);
  test::ExpectSoundTree(w);
  const QStringList problems = JobProblems(w, WriteJob(w, 2));
  EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();

  // Tested only against the two figures joined, the floor is never reached
  // and one pillar is joined to the other through the partition.
  const TPlainCutResult legacy = PrepareCiecie(w, Env(2, false, true));
  EXPECT_FALSE(legacy.UnreachedFigures.empty());
  constexpr int partition = 7;
  ASSERT_EQ(F(w, partition).Points.front(), (TPointI{9700, 600}));
  int through = 0;
  for (const auto& f : w.Figures) {
    if (f->Kind != 3 || f->Points.size() != 2) continue;
    const auto& p = F(w, partition).Points;
    for (std::size_t k = 0; k + 1 < p.size(); ++k)
      if (CutMeetsSegment(f->Points[0], f->Points[1], p[k], p[k + 1], TEdgeIndex::kContact)) {
        ++through;
        break;
      }
  }
  EXPECT_EQ(through, 1);
}

TEST_F(PlainCutReach, DrawingsAlreadyCutCleanlyKeepTheirJobsByteForByte) {
  int kept = 0, mended = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    const auto drawing = test::RandomDrawing(rng);
    const int mode = (seed % 3 == 0) ? 3 : 2;
    const bool addFrame = seed % 2 == 0;
    const bool cutFrame = seed % 4 < 2;

    auto legacy = MakeProject(drawing);
    const TPlainCutResult rl = PrepareCiecie(*legacy, Env(mode, addFrame, true));
    QByteArray legacyJob;
    bool clean = rl.UnreachedFigures.empty();
    if (clean) {
      legacyJob = WriteJob(*legacy, mode, cutFrame);
      clean = JobProblems(*legacy, legacyJob).isEmpty();
    }

    auto w = MakeProject(drawing);
    const TPlainCutResult r = PrepareCiecie(*w, Env(mode, addFrame));
    ASSERT_TRUE(r.UnreachedFigures.empty()) << Numbers(r.UnreachedFigures);
    const QByteArray job = WriteJob(*w, mode, cutFrame);
    const QStringList problems = JobProblems(*w, job);
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
    test::ExpectSoundTree(*w);
    if (clean) {
      ++kept;
      EXPECT_EQ(job, legacyJob);
      ASSERT_EQ(w->FigureCount(), legacy->FigureCount());
      for (int q = 0; q < w->FigureCount(); ++q) {
        EXPECT_EQ(F(*w, q).Points, F(*legacy, q).Points) << q;
        EXPECT_EQ(F(*w, q).LinkParent, F(*legacy, q).LinkParent) << q;
      }
      EXPECT_EQ(w->PathLength, legacy->PathLength);
    } else {
      ++mended;
    }
  }
  // Both kinds occur among the seeds.
  EXPECT_GT(kept, 60);
  EXPECT_GT(mended, 10);
}

TEST_F(PlainCutReach, FigureNoCutCanReachIsNamedAndTheJobRefused) {
  // Four bars crossing like "#" and a square in the middle cell: every cut
  // to the square goes through a bar.
  const std::vector<Polyline> drawing = {
      Rect(0, 25 * mm, 150 * mm, 30 * mm), Rect(0, 70 * mm, 150 * mm, 75 * mm),
      Rect(50 * mm, 0, 55 * mm, 100 * mm), Rect(95 * mm, 0, 100 * mm, 100 * mm),
      Rect(70 * mm, 45 * mm, 80 * mm, 55 * mm)};
  ResetProjectHooks();
  InstallPlainCutting();
  Dlgkonfig().Mode.SetItemIndex(2);
  auto w = MakeProject(drawing);
  {
    ScopedMessageRecorder messages;
    EXPECT_TRUE(w->ciecie());
    ASSERT_EQ(messages.requests.size(), 1);
    EXPECT_TRUE(messages.lastText().startsWith(Tr("Project_window", "figuryNiepolaczone") + "1"));
    EXPECT_TRUE(messages.lastText().endsWith(Tr("Project_window", "figuryNiepolaczoneNr") + "4"))
        << messages.lastText().toStdString();
  }
  EXPECT_EQ(UnreachedFigures(*w), std::vector<std::int32_t>{4});
  // The bars themselves are all reached, without cutting through each other
  // more than the drawing does.
  for (int q = 0; q < 4; ++q) EXPECT_FALSE(F(*w, q).Unlinked) << q;
  QFile::remove(Path());
  try {
    w->save_ciecie(Path(), 0, 0, w->FigureCount() - 1, Job(JobPlainCutting, 2));
    ADD_FAILURE() << "a job that leaves the square uncut was written";
  } catch (const MessageError& e) {
    EXPECT_EQ(e.section(), "Project_window");
    EXPECT_EQ(e.key(), "sciezkaNiepelna");
    EXPECT_EQ(e.detail(), "4");
  }
  EXPECT_FALSE(QFile::exists(Path()));
}

}  // namespace
}  // namespace vm
