// Loading a drawing into a project window: the result, the errors and the
// warning, the reader choice and the hand-over to the work mode's preparation.
#include <gtest/gtest.h>

#include <functional>
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
  EXPECT_EQ(Errors()[0], Tr("Project_window", "rysunekPozaZakresem") + path);
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
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "rysunekPozaZakresem") + w.Caption});
  EXPECT_TRUE(w.CloseRequested);
  EXPECT_TRUE(w.Figures.empty());

  // Memory that runs out is told in the operator's language, not as the
  // library's own words.
  messages.requests.clear();
  ProjectHooks().ciecie = [](TMDIChild&) -> bool { throw std::bad_alloc(); };
  TMDIChild m;
  EXPECT_FALSE(m.Load(Write("b.plt", "PU0,0;PD10,0;PU;")));
  EXPECT_EQ(Errors(), QStringList{Tr("Universal", "brakPamieci")});
  EXPECT_TRUE(m.CloseRequested);
}

// "0|SECTION|..." -> DXF lines.
QByteArray DxfText(const QString& compact) {
  return compact.split('|').join('\n').toLatin1() + '\n';
}

TEST_F(LoadTest, WhatTheDxfReaderLeavesOutIsTold) {
  const QString insert = "0|INSERT|8|0|2|PART|10|0|20|0|";
  const QString mesh =
      "0|POLYLINE|8|0|66|1|70|64|0|VERTEX|8|0|10|0|20|0|70|192|0|VERTEX|8|0|10|0|20|0|70|128|"
      "0|SEQEND|";
  const QString line = "0|LINE|8|0|10|0|20|0|11|10|21|0|";
  const QString titleBlock = "0|INSERT|8|0|67|1|2|TITLE|10|0|20|0|";
  auto drawing = [](const QString& body) {
    return DxfText("0|SECTION|2|ENTITIES|" + body + "0|ENDSEC|0|EOF");
  };

  // Two block references and a mesh beside a line: the line loads and the
  // operator is told what was left out. A title block on the sheet is not counted.
  TMDIChild w;
  ASSERT_TRUE(w.Load(Write("parts.dxf", drawing(insert + mesh + titleBlock + line + insert))));
  EXPECT_EQ(w.FigureCount(), 1);
  EXPECT_TRUE(Errors().isEmpty());
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Information);
  EXPECT_EQ(messages.requests[0].text, Tr("Project_window", "pominieteBloki") + "2\r\n" +
                                           Tr("Project_window", "pominieteSiatki") + "1");
  EXPECT_EQ(prepared, QStringList{"ciecie"});

  // Nothing but block references: refused, naming the blocks as the reason.
  messages.requests.clear();
  waits = restores = 0;
  prepared.clear();
  TMDIChild b;
  EXPECT_FALSE(b.Load(Write("blocks.dxf", drawing(insert + insert + insert + titleBlock))));
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "tylkoBloki") + "3"});
  ExpectClosedEmpty(b);

  // A drawing read right without anything left out shows no box.
  messages.requests.clear();
  TMDIChild plain;
  ASSERT_TRUE(plain.Load(Write("line.dxf", drawing(line))));
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(LoadTest, EncodedPlotLinesAreToldAndAPlotOfNothingElseIsRefused) {
  // A plot of newer plotters keeps its lines encoded ("PE"): a plain line
  // beside them loads with a note, a plot of encoded lines alone is refused
  // with that reason instead of opening the letters of the code as figures.
  const QByteArray encoded =
      "PE<=\xbf\xbf"
      "c\xc1Q<dcPD\xc8;";
  TMDIChild w;
  ASSERT_TRUE(w.Load(Write("mixed.plt", "IN;SP1;" + encoded + "PU0,0;PD400,0;PU;" + encoded)));
  EXPECT_EQ(w.FigureCount(), 1);
  EXPECT_TRUE(Errors().isEmpty());
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Information);
  EXPECT_EQ(messages.requests[0].text, Tr("Project_window", "pominieteLinieKodowane") + "2");

  messages.requests.clear();
  waits = restores = 0;
  prepared.clear();
  TMDIChild p;
  EXPECT_FALSE(p.Load(Write("plot.plt", "BPINPS16800,23760;PW0.13" + encoded + "PC1,115,115,115" +
                                            encoded + "CI2785,2.0;")));
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "tylkoLinieKodowane") + "2"});
  ExpectClosedEmpty(p);
}

TEST_F(LoadTest, DxfRefusalsAreTranslatedAndCloseTheWindow) {
  struct Case {
    const char* name;
    QString text;
    const char* key;
  };
  const Case cases[] = {
      // a square cut off in its last vertex would open as a triangle
      {"cut.dxf",
       "0|SECTION|2|ENTITIES|0|LWPOLYLINE|8|0|90|4|70|1|10|0|20|0|10|100|20|0|10|100|20|100|10|0",
       "zbiorObciety"},
      // a circle of 3,180,000 mm would take ten million points
      {"huge.dxf", "0|SECTION|2|ENTITIES|0|CIRCLE|8|0|10|0|20|0|40|3180000|0|ENDSEC|0|EOF",
       "figuraZaDuzoPunktow"},
      // two small figures 60 km apart
      {"far.dxf",
       "0|SECTION|2|ENTITIES|0|LINE|8|0|10|-30000000|20|0|11|-29999990|21|0|"
       "0|LINE|8|0|10|30000000|20|0|11|30000010|21|0|0|ENDSEC|0|EOF",
       "figuraPozaZakresem"},
      // two pieces that each fit, joined into one figure 60 km long
      {"joined.dxf",
       "0|SECTION|2|ENTITIES|0|LINE|8|0|10|-30000000|20|0|11|0|21|0|"
       "0|LINE|8|0|10|0|20|0|11|30000000|21|0|0|ENDSEC|0|EOF",
       "figuraPozaZakresem"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.requests.clear();
    waits = restores = 0;
    TMDIChild w;
    EXPECT_FALSE(w.Load(Write(c.name, DxfText(c.text))));
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].startsWith(Tr("Project_window", c.key))) << Errors()[0].toStdString();
    ExpectClosedEmpty(w);
  }

  // A binary DXF file (a sentinel of a program name and " Binary DXF", CR
  // LF, SUB, NUL; then one-byte group codes, zero-ended texts and eight-byte
  // numbers) is named as such, not called empty.
  QByteArray binary = QByteArray(7, 'C') + QByteArray(" Binary DXF\r\n\x1a", 14);
  binary.append('\0');
  for (const char* text : {"SECTION", "ENTITIES", "LINE"}) {
    binary.append('\0').append(text).append('\0');
  }
  binary.append(QByteArray(9, '\0'));
  messages.requests.clear();
  waits = restores = 0;
  TMDIChild b;
  EXPECT_FALSE(b.Load(Write("binary.dxf", binary)));
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "dxfBinarny")});
  ExpectClosedEmpty(b);
}

// What the operator reads when a drawing cannot be loaded or prepared: the
// operator's language, what is wrong, and the file; never the bare fault.
TEST_F(LoadTest, FaultsAreToldInTheOperatorsLanguageWithTheFile) {
  for (const char* language : {"US", "PL"}) {
    SCOPED_TRACE(language);
    ASSERT_TRUE(InstallLanguageFile(
        DataPath(QStringLiteral("../../lang/Velmarosta_%1.xml").arg(language))));
    struct Row {
      const char* name;
      QByteArray drawing;
      std::function<bool(TMDIChild&)> prepare;
      QString expected;  // the text before the file name
      QString after;     // after it
    } rows[] = {
        // A coordinate that does not fit 32 bits.
        {"load", "PU0,0;PD99999999999,0;PU;", nullptr, Tr("Project_window", "rysunekPozaZakresem"),
         QString()},
        // A preparation whose numbers overflow.
        {"preparation range", "PU0,0;PD10,0;PU;",
         [](TMDIChild&) -> bool { throw RangeError("Round: 2828433912.971290 does not fit"); },
         Tr("Project_window", "rysunekPozaZakresem"), QString()},
        // Any other fault: the translated lead, the file, then the detail.
        {"preparation fault", "PU0,0;PD10,0;PU;",
         [](TMDIChild&) -> bool { throw Error("no entry"); },
         Tr("Project_window", "bladPrzygotowania"), "\r\nno entry"},
    };
    for (const Row& r : rows) {
      SCOPED_TRACE(r.name);
      messages.requests.clear();
      mainStatus.clear();
      ProjectHooks().ciecie = r.prepare ? r.prepare : [](TMDIChild&) { return true; };
      TMDIChild w;
      const QString path = Write("drawing.plt", r.drawing);
      EXPECT_FALSE(w.Load(path));
      EXPECT_EQ(Errors(), QStringList{r.expected + path + r.after});
      EXPECT_FALSE(Errors().join("").contains("Round:"));
      EXPECT_EQ(mainStatus.value(0), Tr("Project_window", "otwieranyPlik") + path);
    }
  }
  // The lead texts differ between the languages.
  EXPECT_TRUE(mainStatus.value(0).startsWith("Otwieranie pliku "));
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
