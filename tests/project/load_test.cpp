// Loading a drawing into a project window: the result, the errors and the
// warning, the reader choice and the hand-over to the work mode's preparation.
#include <gtest/gtest.h>

#include <new>

#include "drawing/hpgl.h"
#include "project_fixture.h"

namespace vm::test {
namespace {

class LoadTest : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    auto& h = ProjectHooks();
    h.ciecie = [this](TMDIChild&) {
      prepared << "ciecie";
      return prepareResult;
    };
    h.toczenie = [this](TMDIChild&) {
      prepared << "toczenie";
      return prepareResult;
    };
    h.ciecie_obrotowe = [this](TMDIChild&) {
      prepared << "ciecie_obrotowe";
      return prepareResult;
    };
  }

  // After a failed load nothing is left half-loaded and the cursor is back.
  void ExpectClosedEmpty(const TMDIChild& w) {
    EXPECT_TRUE(w.CloseRequested);
    EXPECT_TRUE(w.Figures.empty());
    EXPECT_EQ(w.Reader, nullptr);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(restores, 1);
    EXPECT_TRUE(prepared.isEmpty());
  }

  QStringList prepared;
  bool prepareResult = true;
};

TEST_F(LoadTest, TwoSquaresLoadWithBoxStatusAndPreparation) {
  const QString path = Write("two.plt",
                             "IN;SP1;PU0,0;PD100,0,100,100,0,100,0,0;PU;"
                             "PU200,-50;PD300,-50,300,50,200,50,200,-50;PU;");
  TMDIChild w;
  ASSERT_TRUE(w.Load(path));
  ASSERT_EQ(w.FigureCount(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(w.Figures[i]->Index, i);
    EXPECT_FALSE(w.Figures[i]->Open);
    EXPECT_TRUE(w.Figures[i]->oryg);
    EXPECT_EQ(w.Figures[i]->TurnParent, -1);
  }
  EXPECT_EQ(w.Figures[0]->Pen, 1);
  EXPECT_EQ(w.MinX, 0);
  EXPECT_EQ(w.MinY, -50);
  EXPECT_EQ(w.MaxX, 300);
  EXPECT_EQ(w.MaxY, 100);
  EXPECT_EQ(w.Width, 300);
  EXPECT_EQ(w.Height, 150);
  EXPECT_EQ(w.SelectedFigure, -1);
  EXPECT_EQ(w.MaxDepth, 0);
  EXPECT_EQ(w.Caption, path);
  EXPECT_EQ(w.StatusBar.SimpleText, Tr("Project_window", "iloscFigur") + "2");
  EXPECT_EQ(mainStatus, (QStringList{"Open file " + path, QString()}));
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(restores, 1);
  EXPECT_EQ(prepared, QStringList{"ciecie"});  // work mode 2 by default
  EXPECT_TRUE(Errors().isEmpty());
  EXPECT_FALSE(w.CloseRequested);
  EXPECT_EQ(w.Reader, nullptr);
}

TEST_F(LoadTest, PiecesOfTheFileAreJoinedAndDuplicatesDropped) {
  const QString path = DataPath("project/strokes.plt");
  TMDIChild w;
  ASSERT_TRUE(w.Load(path));
  ASSERT_EQ(w.FigureCount(), 2);
  // The closed square drawn twice is kept once; the three pieces P-Q, R-S,
  // Q-R become one figure P-Q-R-S at the end of the list.
  EXPECT_EQ(w.Figures[0]->Points.size(), 5u);
  EXPECT_EQ(w.Figures[1]->Points,
            (std::vector<TPointI>{{0, 1000}, {100, 1000}, {200, 1000}, {300, 1000}}));
}

TEST_F(LoadTest, FeedDirectionFollowsCatDir) {
  const QString path = Write("a.plt", "PU0,0;PD10,0;PU;");
  struct Case {
    int catDir;
    std::uint8_t feed;
  };
  for (const Case c : {Case{0, 1}, Case{1, 255}, Case{2, 1}}) {
    Dlgkonfig().CatDir.SetItemIndex(c.catDir);
    TMDIChild w;
    w.FeedDirection = w.LoadFeedDirection = 7;
    ASSERT_TRUE(w.Load(path));
    EXPECT_EQ(w.FeedDirection, c.feed);
    EXPECT_EQ(w.LoadFeedDirection, c.feed);
  }
}

TEST_F(LoadTest, EmptyDrawingShowsZbiorPustyAndCloses) {
  for (const QByteArray& text : {QByteArray(), QByteArray("IN;PU0,0;PU100,100;")}) {
    messages.requests.clear();
    waits = restores = 0;
    TMDIChild w;
    EXPECT_FALSE(w.Load(Write("empty.plt", text)));
    EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "zbiorPusty")});
    ExpectClosedEmpty(w);
  }
}

TEST_F(LoadTest, MissingFileShowsZbioruNieMoznaOtworzyc) {
  TMDIChild w;
  const QString path = dir.filePath("nowhere.plt");
  EXPECT_FALSE(w.Load(path));
  EXPECT_EQ(Errors(), QStringList{Tr("Universal", "zbioruNieMoznaOtworzyc") + path});
  ExpectClosedEmpty(w);
}

TEST_F(LoadTest, ReaderErrorClosesTheHalfBuiltProject) {
  // A first square is read, then a pen outside 0..256 goes down: range error.
  const QString path = Write("bad.plt", "PU0,0;PD100,0,100,100,0,0;PU;SP300;PD5,5;PU;");
  TMDIChild w;
  EXPECT_FALSE(w.Load(path));
  ASSERT_EQ(Errors().size(), 1);
  EXPECT_TRUE(Errors()[0].startsWith(Tr("Project_window", "bladOdczytuZbioru") + path));
  ExpectClosedEmpty(w);
  EXPECT_EQ(mainStatus.last(), QString());

  // A drawing value that is no number, after a line already read.
  messages.requests.clear();
  waits = restores = 0;
  TMDIChild d;
  EXPECT_FALSE(d.Load(Write("bad.dxf",
                            "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n5\n21\n0\n"
                            "0\nCIRCLE\n10\n0\n20\n0\n40\nabc\n0\nENDSEC\n0\nEOF\n")));
  ASSERT_EQ(Errors().size(), 1);
  EXPECT_EQ(Errors()[0], Tr("Project_window", "zbiorUszkodzony") + "22: abc");
  ExpectClosedEmpty(d);
}

TEST_F(LoadTest, ProjectLargerThanWorkingAreaWarnsAndIsStillPrepared) {
  struct Case {
    QByteArray text;
    bool warned;
  };
  // 4800 mm is 192000 units.
  const Case cases[] = {{"PU0,0;PD192000,0;PU;", false},
                        {"PU0,0;PD192040,0;PU;", true},
                        {"PU0,0;PD0,96040;PU;", true},
                        {"PU0,0;PD0,96000;PU;", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.constData());
    messages.requests.clear();
    prepared.clear();
    TMDIChild w;
    EXPECT_TRUE(w.Load(Write("big.plt", c.text)));
    EXPECT_EQ(Errors(), c.warned ? QStringList{Tr("Main_window", "projektZaDuzy")} : QStringList{});
    EXPECT_EQ(prepared, QStringList{"ciecie"});
    EXPECT_FALSE(w.CloseRequested);
  }
}

TEST_F(LoadTest, WorkModeChoosesThePreparation) {
  struct Case {
    int mode, stolik;
    QStringList calls;
  };
  const Case cases[] = {{0, 0, {"toczenie"}},        {0, 1, {"toczenie"}}, {0, 2, {"ciecie"}},
                        {1, 2, {"ciecie_obrotowe"}}, {2, 0, {"ciecie"}},   {3, 1, {"ciecie"}}};
  const QString path = Write("a.plt", "PU0,0;PD10,0,10,10;PU;");
  for (const Case& c : cases) {
    Dlgkonfig().Mode.SetItemIndex(c.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(c.stolik);
    prepared.clear();
    TMDIChild w;
    EXPECT_TRUE(w.Load(path));
    EXPECT_EQ(prepared, c.calls) << c.mode << "/" << c.stolik;
  }
}

TEST_F(LoadTest, FailedPreparationClosesTheWindow) {
  prepareResult = false;
  TMDIChild w;
  EXPECT_FALSE(w.Load(Write("a.plt", "PU0,0;PD10,0;PU;")));
  EXPECT_TRUE(w.CloseRequested);
  EXPECT_TRUE(w.Figures.empty());
  EXPECT_EQ(restores, waits);
}

TEST_F(LoadTest, ThrowingPreparationIsReportedAndClosesTheWindow) {
  ProjectHooks().ciecie = [](TMDIChild&) -> bool { throw RangeError("index out of range"); };
  TMDIChild w;
  EXPECT_FALSE(w.Load(Write("a.plt", "PU0,0;PD10,0;PU;")));
  EXPECT_EQ(Errors().size(), 1);
  EXPECT_TRUE(w.CloseRequested);
  EXPECT_TRUE(w.Figures.empty());
}

// Memory that still runs out is told in the operator's language, not as the
// library's "std::bad_alloc".
TEST_F(LoadTest, OutOfMemoryIsReportedInTheOperatorsLanguage) {
  ProjectHooks().ciecie = [](TMDIChild&) -> bool { throw std::bad_alloc(); };
  TMDIChild w;
  EXPECT_FALSE(w.Load(Write("a.plt", "PU0,0;PD10,0;PU;")));
  EXPECT_EQ(Errors(), QStringList{Tr("Universal", "brakPamieci")});
  EXPECT_TRUE(w.CloseRequested);
  EXPECT_TRUE(w.Figures.empty());
}

TEST_F(LoadTest, ExtensionChoosesTheReader) {
  const QByteArray dxf =
      "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n0\n0\nENDSEC\n0\nEOF\n";
  TMDIChild d;
  d.FileType = 1;  // the dialog's HPGL filter
  ASSERT_TRUE(d.Load(Write("line.DXF", dxf))) << Errors().join("|").toStdString();
  EXPECT_EQ(d.FileType, 2);
  ASSERT_EQ(d.FigureCount(), 1);
  EXPECT_EQ(d.Figures[0]->Points, (std::vector<TPointI>{{0, 0}, {400, 0}}));

  TMDIChild h;
  h.FileType = 2;
  ASSERT_TRUE(h.Load(Write("line.Plt", "PU0,0;PD10,0;PU;")));
  EXPECT_EQ(h.FileType, 1);
  EXPECT_EQ(h.FigureCount(), 1);

  EXPECT_EQ(ReaderModeFor("a.txt", 2), 2);
  EXPECT_EQ(ReaderModeFor("a.dxf.plt", 2), 1);
}

}  // namespace
}  // namespace vm::test
