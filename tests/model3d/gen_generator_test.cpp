// The serial-cut generator run on small box models: the step plan (angles,
// captions, pass numbers), the end of a run, refusals and stopping.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "drawing/definicje.h"
#include "drawing/matma.h"
#include "gen_fixture.h"
#include "model3d/generator.h"
#include "model3d/model_view.h"
#include "model3d/silhouette_grid.h"
#include "project/okno_plt.h"
#include "shell/global_record.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"
#include "viewer_fixture.h"

namespace vm {
namespace {

class GeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale::c());
    ResetDrawingGlobals();
    ResetGridGlobals();
    ResetGeneratorGlobals();
    ResetDlgkonfig();
    ResetGlobalSettings();
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    TGenSerHooks& h = gen.hooks;
    h.Windows.Create = [this] {
      windows.push_back(std::make_unique<TMDIChild>());
      return windows.back().get();
    };
    h.CloseAll = [this] { windows.clear(); };
    h.Tile = [this] { ++tiles; };
    h.ProjectWindowCount = [this] { return int(windows.size()); };
    h.ShowModelInfo = [this] { ++infos; };
    h.Close = [this] { ++closes; };
    h.ChooseFile = [this](const TModelFileRequest& r) {
      requests.push_back(r);
      return chosen;
    };
    h.Changed = [this] {
      if (!gen.StatusPanels[1].isEmpty() &&
          (angles.isEmpty() || angles.back() != gen.StatusPanels[1]))
        angles << gen.StatusPanels[1];
    };
    gen.FormCreate();
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDrawingGlobals();
    ResetGridGlobals();
    ResetGeneratorGlobals();
    ResetDlgkonfig();
    ResetGlobalSettings();
  }

  // Writes a model and reads it through the dialog's file choice.
  void Load(const QByteArray& raw, const QString& name = "box.raw") {
    chosen = dir.filePath(name);
    ASSERT_TRUE(test::WriteAll(chosen, raw));
    gen.btnPlikRawClick();
    ASSERT_TRUE(test::SpinUntil([&] { return gen.Reader() == nullptr; }));
  }
  bool Generate(double steps) {
    gen.feIloscObrotow.SetValue(steps);
    gen.btnGenerujClick();
    return test::SpinUntil([&] { return !gen.Running; });
  }
  QStringList Captions() const {
    QStringList c;
    for (const auto& w : windows) c << w->Caption;
    return c;
  }

  ScopedMessageRecorder messages;
  QTemporaryDir dir;
  QString chosen;
  std::vector<TModelFileRequest> requests;
  std::vector<std::unique_ptr<TMDIChild>> windows;
  QStringList angles;
  int tiles = 0;
  int closes = 0;
  int infos = 0;
  TfGenSer gen;  // last: stops its workers before the hooks' targets go
};

TEST_F(GeneratorTest, EighteenStepsGiveEighteenPassesOverHalfATurn) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  ASSERT_TRUE(gen.btnGeneruj.Enabled());
  EXPECT_EQ(gen.StatusPanels[0], Tr("SerialCutFrom3D", "importRAWzakonczony"));
  ASSERT_TRUE(Generate(18));
  ASSERT_TRUE(messages.requests.isEmpty()) << messages.lastText().toStdString();

  ASSERT_EQ(windows.size(), 18u);
  for (int k = 0; k < 18; ++k) {
    SCOPED_TRACE(k);
    const TMDIChild& w = *windows[k];
    EXPECT_EQ(w.Caption, QString("box [%1 st]").arg(10 * k));
    EXPECT_EQ(w.PassNumber, k + 1);
    EXPECT_EQ(w.FileType, 1);
    EXPECT_EQ(w.SelectedFigure, -1);
    ASSERT_GE(w.FigureCount(), 1);
    // The outline stands on its base: one open figure over the top.
    EXPECT_TRUE(w.SingleOpenFigure);
    EXPECT_LE(w.MaxX, 8 * GridCols);
    EXPECT_LE(w.MaxY, 8 * GridRows);
  }
  EXPECT_EQ(angles.first(), "[0.0 st]");
  EXPECT_EQ(angles[1], "[10.0 st]");
  EXPECT_EQ(angles.size(), 18);

  // The end of the run: work mode serial cutting, cut-off choice taken over,
  // windows tiled once, the dialog closed, controls back.
  EXPECT_EQ(Dlgkonfig().Mode.ItemIndex(), 3);
  EXPECT_TRUE(ModelCutOffAtEnd);
  EXPECT_EQ(tiles, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(gen.btnGeneruj.Enabled() && gen.feIloscObrotow.Enabled());
  EXPECT_FALSE(gen.ProgressShown);
  EXPECT_EQ(gen.Rasteriser(), nullptr);
}

// A recorder that paints the view at once whenever a render is asked for,
// counting the frames that drew the model.
struct PaintingGL : test::TRecordingGL {
  TRAWview* view = nullptr;
  int modelFrames = 0;
  void RequestRender() override {
    ++renders;
    calls.clear();
    view->Paint();
    if (!With("Begin Triangles").isEmpty()) ++modelFrames;
  }
};

TEST_F(GeneratorTest, EachStepTurnsTheViewByTheAngleStepAndShowsIt) {
  PaintingGL gl;
  TRAWview view;
  gl.view = &view;
  view.Bind(&gl);
  view.ClientWidth = 300;
  view.ClientHeight = 200;
  gen.View = &view;
  gen.FormCreate();
  gen.cbZamkniOknoAut.SetChecked(false);
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  const int framesBefore = gl.modelFrames;
  ASSERT_TRUE(Generate(18));
  // The controls, and with them the view, are locked during the run; each
  // step still shows the model turned on by 180 / 18 degrees.
  EXPECT_GE(gl.modelFrames - framesBefore, 18);
  EXPECT_DOUBLE_EQ(view.Widok().ObrotY, -180);
  EXPECT_FALSE(view.Locked);
  gen.View = nullptr;
}

TEST_F(GeneratorTest, SevenStepsCaptionTheAngleInGeneralFormat) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4), "vase.model.raw");
  gen.cbZamkniOknoAut.SetChecked(false);
  gen.cbOdcinajPoZakonczeniu.SetChecked(false);
  ASSERT_TRUE(Generate(7));
  ASSERT_EQ(windows.size(), 7u);
  EXPECT_EQ(windows[1]->Caption, "vase.model [25.7142857142857 st]");
  EXPECT_EQ(windows[6]->Caption, "vase.model [154.285714285714 st]");
  EXPECT_EQ(closes, 0);
  EXPECT_FALSE(ModelCutOffAtEnd);

  // N raised after a finished run: the run goes on from the next step.
  ASSERT_TRUE(Generate(9));
  ASSERT_EQ(windows.size(), 9u);
  EXPECT_EQ(windows[7]->PassNumber, 8);
  EXPECT_EQ(windows[8]->PassNumber, 9);
  EXPECT_EQ(windows[7]->Caption, "vase.model [180 st]");
  // The same N again starts over.
  ASSERT_TRUE(Generate(9));
  ASSERT_EQ(windows.size(), 9u);
  EXPECT_EQ(windows[0]->Caption, "vase.model [0 st]");
}

TEST_F(GeneratorTest, TypedStepCountIsTakenAsAWholeNumberInRange) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  gen.cbZamkniOknoAut.SetChecked(false);
  struct Case {
    QString typed;
    std::size_t windows;
  } cases[] = {{"0", 1}, {"2.6", 3}, {"-5", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    gen.feIloscObrotow.SetText(c.typed);
    gen.feIloscObrotowKeyDown(Qt::Key_Return);  // before the edit's exit clamps it
    ASSERT_TRUE(test::SpinUntil([&] { return !gen.Running; }));
    EXPECT_EQ(windows.size(), c.windows);
    EXPECT_EQ(gen.feIloscObrotow.Value(), double(c.windows));
    EXPECT_EQ(windows.back()->PassNumber, std::int32_t(c.windows));
  }
}

TEST_F(GeneratorTest, ChoosingAFileAsksInTheLastFolderAndRemembersTheNewOne) {
  GlobalSettings().SetLastOpenDir(QStringLiteral("/models/old"));
  messages.answers.push_back(ModalResult::Yes);
  windows.push_back(std::make_unique<TMDIChild>());
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].InitialDir, "/models/old");
  EXPECT_EQ(requests[0].DefaultExt, "raw");
  EXPECT_TRUE(requests[0].Filter.endsWith("(*.raw)|*.raw|" + Tr("Universal", "wszystkiePliki") +
                                          " (*.*)|*.*"));
  // The open project windows were closed only after the operator agreed.
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_TRUE(messages.requests[0].confirmation);
  EXPECT_EQ(messages.requests[0].text, Tr("SerialCutFrom3D", "zamknacOknaProjektow"));
  EXPECT_EQ(messages.requests[0].buttons, MsgButtons(MsgButton::Yes) | MsgButton::No);
  EXPECT_TRUE(windows.empty());
  EXPECT_EQ(GlobalSettings().LastOpenDir, QFileInfo(chosen).absolutePath());
  EXPECT_EQ(gen.ePlik.Caption(), chosen);
  EXPECT_TRUE(gen.btnModelInfo.Enabled());
}

TEST_F(GeneratorTest, NoToClosingTheProjectWindowsKeepsThemAndTheModel) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4), "first.raw");
  gen.cbZamkniOknoAut.SetChecked(false);
  ASSERT_TRUE(Generate(2));
  ASSERT_EQ(windows.size(), 2u);
  const QString first = chosen;

  // Another model chosen while the generated, unsaved series is open: No.
  messages.answers.push_back(ModalResult::No);
  chosen = dir.filePath("second.raw");
  ASSERT_TRUE(test::WriteAll(chosen, test::BoxRaw(0, 0, 0, 8, 8, 8)));
  gen.btnPlikRawClick();
  EXPECT_EQ(gen.Reader(), nullptr);  // nothing is read
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.lastText(), Tr("SerialCutFrom3D", "zamknacOknaProjektow"));
  EXPECT_EQ(windows.size(), 2u);
  EXPECT_EQ(ModelExtents.FileName, first);
  EXPECT_EQ(gen.ePlik.Caption(), first);
  EXPECT_DOUBLE_EQ(ModelExtents.MaxX, 4);
  EXPECT_TRUE(gen.btnGeneruj.Enabled());
}

TEST_F(GeneratorTest, StepsAreTheTrueSilhouettesOfTheTurnedModel) {
  // A 4 mm cube: 4 mm wide at 0 and 90 degrees, 5.66 mm at 45 and 135.
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  gen.cbZamkniOknoAut.SetChecked(false);
  ASSERT_TRUE(Generate(4));
  ASSERT_EQ(windows.size(), 4u);
  const double widths[] = {4, 4 * M_SQRT2, 4, 4 * M_SQRT2};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const auto& points = windows[k]->Figures[0]->Points;
    const auto [lo, hi] = std::minmax_element(points.begin(), points.end(),
                                              [](TPointI a, TPointI b) { return a.X < b.X; });
    EXPECT_NEAR(PlotterUnitsToMm(hi->X - lo->X), widths[k], 0.4);
    EXPECT_GT(lo->X, 0);
    EXPECT_LT(hi->X, 8 * GridCols);
  }
}

TEST_F(GeneratorTest, UnreadableModelsLeaveNothingToGenerate) {
  // A file that is gone by the time it is read, after a model was loaded:
  // the old model goes too.
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  ASSERT_TRUE(gen.btnGeneruj.Enabled());
  messages.requests.clear();
  gen.CzytajModel(dir.filePath("missing.raw"));
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.lastText(),
            Tr("Universal", "txtPlikuBrak") + "\r\n" + dir.filePath("missing.raw"));
  EXPECT_TRUE(ModelExtents.FileName.isEmpty());
  EXPECT_TRUE(ModelTriangles.empty());
  EXPECT_TRUE(gen.ePlik.Caption().isEmpty());
  EXPECT_FALSE(gen.btnGeneruj.Enabled());
  EXPECT_FALSE(gen.btnModelInfo.Enabled());
  EXPECT_TRUE(gen.btnPlikRaw.Enabled());
  gen.btnGenerujClick();
  EXPECT_TRUE(windows.empty());

  const struct {
    const char* name;
    QByteArray raw;
    QString text;
  } refused[] = {
      {"no triangle", "Object 1\nnot a triangle\n", Tr("SerialCutFrom3D", "modelPusty")},
      {"every vertex one point", "1 2 3 1 2 3 1 2 3\n1 2 3 1 2 3 1 2 3\n",
       Tr("SerialCutFrom3D", "modelPunktowy")},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
    messages.requests.clear();
    Load(c.raw);
    ASSERT_EQ(messages.requests.size(), 1);
    EXPECT_TRUE(messages.lastText().startsWith(c.text));
    EXPECT_TRUE(ModelTriangles.empty());
    EXPECT_TRUE(ModelExtents.FileName.isEmpty());
    EXPECT_FALSE(gen.btnGeneruj.Enabled());
    EXPECT_FALSE(gen.btnModelInfo.Enabled());
    EXPECT_TRUE(gen.btnPlikRaw.Enabled());
    gen.feIloscObrotowKeyDown(Qt::Key_Return);  // Enter generates only when Generate could
    EXPECT_FALSE(gen.Running);
    EXPECT_TRUE(windows.empty());
  }
}

TEST_F(GeneratorTest, ModelInfoIsOffWhileAWorkerRuns) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  ASSERT_TRUE(gen.btnModelInfo.Enabled());

  // Reading another model: neither the button nor the group's double click
  // (both come to btnModelInfoClick) shows the extents being written. The
  // reader's completion can run only once this thread's events are.
  chosen = dir.filePath("big.raw");
  ASSERT_TRUE(test::WriteAll(chosen, test::BoxRaw(0, 0, 0, 8, 8, 8)));
  gen.btnPlikRawClick();
  ASSERT_NE(gen.Reader(), nullptr);
  EXPECT_FALSE(gen.btnModelInfo.Enabled());
  gen.btnModelInfoClick();
  EXPECT_EQ(infos, 0);
  ASSERT_TRUE(test::SpinUntil([&] { return gen.Reader() == nullptr; }));
  EXPECT_TRUE(gen.btnModelInfo.Enabled());
  gen.btnModelInfoClick();
  EXPECT_EQ(infos, 1);

  // Generating: off during the steps, on again at the end.
  gen.cbZamkniOknoAut.SetChecked(false);
  gen.feIloscObrotow.SetValue(2);
  gen.btnGenerujClick();
  ASSERT_NE(gen.Rasteriser(), nullptr);
  EXPECT_FALSE(gen.btnModelInfo.Enabled());
  gen.btnModelInfoClick();
  EXPECT_EQ(infos, 1);
  ASSERT_TRUE(test::SpinUntil([&] { return !gen.Running; }));
  EXPECT_TRUE(gen.btnModelInfo.Enabled());
}

TEST_F(GeneratorTest, ClosingDuringALongReadStopsTheReaderAtOnce) {
  // About 30 MB of triangles: seconds of reading in a debugging build.
  const QByteArray line = "12.5 3.25 7 8.5 1 2 3.75 4 5.125\n";
  chosen = dir.filePath("large.raw");
  ASSERT_TRUE(test::WriteAll(chosen, line.repeated(1'000'000)));
  const qint64 size = QFileInfo(chosen).size();
  int changes = 0;
  auto other = std::make_unique<TfGenSer>();
  other->hooks.ChooseFile = [this](const TModelFileRequest&) { return chosen; };
  other->hooks.Changed = [&changes] { ++changes; };
  other->btnPlikRawClick();
  QPointer<TRAWodczytWatek> reader = other->Reader();
  ASSERT_FALSE(reader.isNull());
  while (reader->BytesRead() == 0) QThread::yieldCurrentThread();
  ASSERT_LT(reader->BytesRead(), size);

  // The dialog goes while the reader is at the start of the file: it stops
  // the reader and waits for it, and nothing of the model is published.
  QElapsedTimer clock;
  clock.start();
  other.reset();
  RecordProperty("close_ms", int(clock.elapsed()));
  EXPECT_TRUE(reader.isNull());
  EXPECT_TRUE(ModelTriangles.empty());
  EXPECT_DOUBLE_EQ(ModelExtents.MaxX, 0);
  // No completion reaches the freed dialog.
  const int changesAtClose = changes;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, changesAtClose);
}

TEST_F(GeneratorTest, ModelsBeyondTheWorkingAreaAreRefused) {
  Load(test::BoxRaw(0, 0, 0, 40, 30, 4));
  struct Case {
    std::int32_t limitX, limitY;
    double tableY;
    QString text;
  } cases[] = {
      {39, 2400, 250, Tr("Main_window", "projektZaDuzy")},
      // 40 mm wide, but 40.2 mm across its X-Z diagonal as it turns.
      {40, 2400, 250, Tr("Main_window", "projektZaDuzy")},
      {4800, 29, 0, Tr("Main_window", "projektZaDuzy")},
      {4800, 279, 250,
       Tr("Main_window", "projektZaDuzaWysokosc") + "\r\n" +
           Tr("SerialCutFrom3D", "obnizYstolika")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    WorkingAreaLimits.X = c.limitX;
    WorkingAreaLimits.Y = c.limitY;
    Dlgkonfig().Ystolika.SetValue(c.tableY);
    messages.requests.clear();
    gen.btnGenerujClick();
    EXPECT_EQ(messages.lastText(), c.text);
    EXPECT_FALSE(gen.Running);
    EXPECT_EQ(gen.Rasteriser(), nullptr);
    EXPECT_TRUE(gen.btnGeneruj.Enabled());
  }
  // At half the scale it fits.
  Dlgkonfig().skala.SetValue(50);
  messages.requests.clear();
  EXPECT_TRUE(gen.SprawdzRozmiar());
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(GeneratorTest, SeveralFiguresAskAndCancelStopsTheRun) {
  // Two boxes side by side: seen from the front, the first stands open on its
  // base and the second outline is closed; kept with the hidden option, both
  // go into the step's window.
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4) + test::BoxRaw(10, 0, 0, 14, 4, 4));
  gen.cbZostawZamknieteFig.SetChecked(true);
  messages.answers.push_back(ModalResult::Cancel);
  ASSERT_TRUE(Generate(4));
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_TRUE(messages.requests[0].confirmation);
  EXPECT_EQ(messages.requests[0].text,
            Tr("SerialCutFrom3D", "wieleFigur") + "\r\n" + Tr("SerialCutFrom3D", "czyKontynuowac"));
  EXPECT_TRUE(windows.empty());
  EXPECT_EQ(gen.StepCounter, 1);
  EXPECT_EQ(ModelAngle, 0);
  EXPECT_TRUE(gen.btnGeneruj.Enabled() && gen.feIloscObrotow.Enabled());
  EXPECT_EQ(Dlgkonfig().Mode.ItemIndex(), 2);  // not switched to serial cutting

  // OK keeps both figures in the step's window and goes on.
  messages.requests.clear();
  messages.answers.assign(4, ModalResult::OK);
  ASSERT_TRUE(Generate(4));
  ASSERT_EQ(windows.size(), 4u);
  EXPECT_EQ(windows[0]->FigureCount(), 2);
  EXPECT_FALSE(windows[0]->SingleOpenFigure);
  EXPECT_EQ(windows[2]->FigureCount(), 1);  // at 90 degrees the boxes are one outline
}

TEST_F(GeneratorTest, SilhouetteClosedOnItselfStopsTheRunWithAMessage) {
  // A pyramid standing on its tip touches the base in one cell: its outline
  // closes, and a step without an open outline has nothing to cut.
  QByteArray raw;
  const char* apex = "2 0 2";
  const char* top[4] = {"0 4 0", "4 4 0", "4 4 4", "0 4 4"};
  for (int k = 0; k < 4; ++k)
    raw += QByteArray(apex) + " " + top[k] + " " + top[(k + 1) % 4] + "\n";
  raw += "0 4 0 4 4 0 4 4 4\n0 4 0 4 4 4 0 4 4\n";
  Load(raw);
  ASSERT_TRUE(Generate(3));
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_TRUE(messages.lastText().startsWith(Tr("SerialCutFrom3D", "brakObrysu")));
  EXPECT_TRUE(messages.lastText().endsWith("[0.0 st]"));
  EXPECT_TRUE(windows.empty());
  EXPECT_EQ(gen.StepCounter, 1);
  EXPECT_TRUE(gen.btnGeneruj.Enabled());
}

TEST_F(GeneratorTest, DuringAStepTheDialogStaysAndCancelGivesTheStepUp) {
  Load(test::BoxRaw(0, 0, 0, 4, 4, 4));
  gen.feIloscObrotow.SetValue(3);
  gen.btnGenerujClick();
  ASSERT_NE(gen.Rasteriser(), nullptr);
  EXPECT_FALSE(gen.btnPlikRaw.Enabled() || gen.btnGeneruj.Enabled() ||
               gen.feIloscObrotow.Enabled());

  // Neither another model (F3) nor another run (Enter) starts meanwhile.
  EXPECT_TRUE(gen.TntFormKeyDown(Qt::Key_F3, false, false, false));
  EXPECT_EQ(requests.size(), 1u);  // only the one that loaded the model
  TRawDoPix* step = gen.Rasteriser();
  gen.feIloscObrotowKeyDown(Qt::Key_Return);
  EXPECT_EQ(gen.Rasteriser(), step);

  EXPECT_FALSE(gen.TntFormClose());
  EXPECT_EQ(messages.lastText(), Tr("SerialCutFrom3D", "zakonczGenPlikowWy"));

  gen.btnAnulujClick();
  EXPECT_EQ(gen.Rasteriser(), nullptr);
  EXPECT_FALSE(gen.Running);
  EXPECT_EQ(closes, 0);  // the run stopped, the dialog stays
  // The given-up step's completion builds no window.
  test::SpinUntil([] { return false; }, 200);
  EXPECT_TRUE(windows.empty());
  EXPECT_TRUE(gen.TntFormClose());
  gen.btnAnulujClick();  // now Cancel closes
  EXPECT_EQ(closes, 1);
}

TEST_F(GeneratorTest, KeysOfTheForm) {
  EXPECT_FALSE(gen.cbZostawZamknieteFig.Visible());
  EXPECT_TRUE(gen.TntFormKeyDown(Qt::Key_F12, true, true, false));  // consumed, nothing else
  EXPECT_FALSE(gen.cbZostawZamknieteFig.Visible());
  EXPECT_TRUE(gen.TntFormKeyDown(Qt::Key_F12, true, true, true));
  EXPECT_TRUE(gen.cbZostawZamknieteFig.Visible());
  EXPECT_TRUE(gen.TntFormKeyDown(Qt::Key_Escape, false, false, false));
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(gen.TntFormKeyDown(Qt::Key_A, false, false, false));
}

}  // namespace
}  // namespace vm
