// What the 3D viewer asks of GL: the set-up of projection, light and colour,
// the frame of a triangle model, the axes, the tool models, and what happens
// without a rendering context.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/message_recorder.h"
#include "viewer_fixture.h"

namespace vm {
namespace {

using test::TRecordingGL;
using test::ViewerFixture;

TEST(ViewerSetUp, ProjectionLightAndColours) {
  ViewerFixture f;
  f.view.Color = 0x204080;        // background: red 0x80, green 0x40, blue 0x20
  f.view.Model_Kolor = 0xC00040;  // model: red 0x40, blue 0xC0
  f.view.Model_Material = 0.5;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 1, 1, 1);

  EXPECT_EQ(f.gl.With("Perspective").value(0), "Perspective 20 1.5 1 100");
  EXPECT_EQ(f.gl.From("Perspective").value(1), "Translate 0 0 -12");
  EXPECT_EQ(f.gl.With("ClearColor").value(0), "ClearColor 0.5 0.25 0.125 1");
  EXPECT_TRUE(f.gl.With("Light0").contains("Light0 0 -8 8 16 0"));  // directional
  EXPECT_TRUE(f.gl.calls.contains("LightModelTwoSide 1"));
  // Ambient and diffuse (0) follow the model colour, specular (1) the material.
  EXPECT_TRUE(f.gl.calls.contains("Material 0 0.25 0 0.75 1"));
  EXPECT_TRUE(f.gl.calls.contains("Color 0.25 0 0.75 1"));
  EXPECT_TRUE(f.gl.calls.contains("Material 1 0.5 0.5 0.5 1"));
  EXPECT_TRUE(f.gl.calls.contains("Shininess 128"));
  EXPECT_GE(f.gl.renders, 1);

  // A window without height still gets a finite projection.
  f.gl.calls.clear();
  f.view.ClientHeight = 0;
  f.view.DostosujDoRozmiaruOkna();
  EXPECT_EQ(f.gl.With("Perspective").value(0), "Perspective 20 300 1 100");
}

// The window keeps one context, so every set-up must start the projection
// from the identity instead of multiplying onto the last one.
TEST(ViewerSetUp, EachProjectionStartsFromTheIdentity) {
  ViewerFixture f;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 1, 1, 1);
  f.view.ResetujPrzeksztalcenia();
  f.view.DostosujDoRozmiaruOkna();
  f.view.Paint();
  f.view.DostosujDoRozmiaruOkna();

  bool projection = false, fresh = false;
  int perspectives = 0;
  for (const QString& c : f.gl.calls) {
    if (c.startsWith("MatrixMode")) projection = c.endsWith("Projection");
    if (c == "LoadIdentity" && projection) fresh = true;
    if (c.startsWith("Perspective")) {
      EXPECT_TRUE(fresh) << "projection #" << perspectives << " multiplied onto the last one";
      fresh = false;
      ++perspectives;
    }
  }
  EXPECT_EQ(perspectives, 4);
}

// (1,1,1) (3,1,1) (1,1,4): edges (2,0,0) and (0,0,3), normal (0,-6,0).
const std::vector<TRawTrojkat> kModel = {{1, 1, 1, 3, 1, 1, 1, 1, 4},
                                         {0, 0, 0, 1, 1, 1, 2, 2, 2}};  // no area

TEST(ViewerFrame, SerialCutModeDrawsTheCentredTriangles) {
  ViewerFixture f;
  f.view.TrybPracy = TTrybPracy::tpPrzegladRAWtermSeryjne;
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);
  f.view.Nawigacja(1, 20, -6);   // 10 degrees about Y, 3 about X
  f.view.Nawigacja(3, 50, 100);  // pan 0.5, 1
  f.gl.calls.clear();
  f.view.Paint();

  const double s = f.view.Widok().Skala;
  const QString scale = QStringLiteral("Scale %1 %1 %1").arg(QString::number(s, 'g', 10));
  const QStringList expected = {"Viewport 0 0 300 200",
                                "Translate 0.5 1 0",
                                "Rotate 10 0 1 0",
                                "Rotate 3 1 0 0",
                                scale,
                                "Translate -2 -1 -3",
                                "Begin Triangles",
                                "Normal 0 -6 0",
                                "Vertex 1 1 1",
                                "Vertex 3 1 1",
                                "Vertex 1 1 4",
                                "Normal 0 0 1",  // a triangle without area has no normal of its own
                                "Vertex 0 0 0",
                                "Vertex 1 1 1",
                                "Vertex 2 2 2",
                                "End",
                                "SwapBuffers"};
  EXPECT_EQ(f.gl.From("Viewport"), expected);
  // The frame starts with a cleared buffer and an identity model-view matrix.
  const QStringList head = f.gl.calls.mid(0, f.gl.calls.indexOf("Viewport 0 0 300 200"));
  EXPECT_EQ(head.value(0), "MatrixMode ModelView");
  EXPECT_GT(head.lastIndexOf("LoadIdentity"), head.indexOf("Clear"));
  EXPECT_EQ(f.gl.With("PolygonMode"), QStringList{"PolygonMode Fill"});
}

TEST(ViewerFrame, DrawingModesAndTheUncentredModel) {
  const std::pair<TSposobKreslenia, QString> modes[] = {
      {TSposobKreslenia::skWypelnienie, "PolygonMode Fill"},
      {TSposobKreslenia::skKontur, "PolygonMode Line"},
      {TSposobKreslenia::skPunkty, "PolygonMode Point"}};
  for (const auto& [mode, call] : modes) {
    ViewerFixture f;
    f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);  // tpPrzegladRAW: not centred
    f.view.UstawModelSposobKreslenia(mode);
    f.gl.calls.clear();
    f.view.Paint();
    EXPECT_EQ(f.gl.With("PolygonMode"), QStringList{call});
    EXPECT_EQ(f.gl.From("Translate").value(1, "?"), "Rotate 0 0 1 0");
    EXPECT_EQ(f.gl.From("Begin").value(0), "Begin Triangles");
    EXPECT_TRUE(f.gl.From("Scale").value(1).startsWith("Translate 0 0 0"));
  }
}

TEST(ViewerFrame, EmptyOrMissingModelDrawsNoPrimitiveAndNoNaN) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const std::vector<TRawTrojkat> empty;
  for (const std::vector<TRawTrojkat>* list : {&empty, static_cast<decltype(&empty)>(nullptr)}) {
    ViewerFixture f;
    f.view.TrybPracy = TTrybPracy::tpPrzegladRAWtermSeryjne;
    f.view.LadujListeRAW(list, inf, inf, inf, -inf, -inf, -inf);
    f.view.Paint();
    EXPECT_TRUE(f.gl.With("Begin").isEmpty());
    for (const QString& c : f.gl.calls) {
      EXPECT_FALSE(c.contains("nan") || c.contains("inf")) << c.toStdString();
    }
  }
}

TEST(ViewerFrame, LockedOrClearedPaintsOnlyTheBackground) {
  ViewerFixture f;
  f.view.Color = 0;
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);
  f.view.Paint();  // the render LadujListeRAW asked for
  const QStringList background = {"ClearColor 0 0 0 1", "Clear"};

  // Locked: the window's own repaints show the background, but a render the
  // owner asks for (a generation step turning the model) shows the model.
  f.view.Locked = true;
  f.gl.calls.clear();
  f.view.Paint();
  EXPECT_EQ(f.gl.calls, background);
  f.view.Nawigacja(1, -20, 0);
  f.view.PokazScene();
  f.gl.calls.clear();
  f.view.Paint();
  EXPECT_FALSE(f.gl.With("Begin Triangles").isEmpty());
  EXPECT_TRUE(f.gl.With("Rotate -10 0 1 0").size() == 1);
  f.gl.calls.clear();
  f.view.Paint();
  EXPECT_EQ(f.gl.calls, background);

  // Detached lists are no longer read by a render.
  f.view.OdlaczListy();
  f.view.PokazScene();
  f.gl.calls.clear();
  f.view.Paint();
  EXPECT_TRUE(f.gl.With("Begin Triangles").isEmpty());
  EXPECT_TRUE(f.gl.With("Vertex").isEmpty());
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);

  f.view.Locked = false;
  f.view.CzyscScene();
  f.gl.calls.clear();
  f.view.Paint();
  EXPECT_EQ(f.gl.calls, background);
  f.gl.calls.clear();
  f.view.Paint();  // the next paint shows the model again
  EXPECT_FALSE(f.gl.With("Begin").isEmpty());
}

// Half of 201 is 100.5, which rounds to the even 100.
TEST(ViewerFrame, AxesSpanHalfTheClientArea) {
  ViewerFixture f;
  f.view.ClientWidth = 201;
  f.view.ClientHeight = 100;
  f.view.UkladWsp = true;
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);
  f.gl.calls.clear();
  f.view.Paint();
  const QStringList axes = f.gl.From("Begin Lines").mid(0, 16);
  const QStringList expected = {
      "Begin Lines",    "Vertex 0 -50 0", "Vertex 0 50 0",  "Vertex -100 0 0",
      "Vertex 100 0 0", "Vertex -5 40 0", "Vertex 0 50 0",  "Vertex 5 40 0",
      "Vertex 0 50 0",  "Vertex 90 5 0",  "Vertex 100 0 0", "Vertex 90 -5 0",
      "Vertex 100 0 0", "Vertex 0 0 -50", "Vertex 0 0 50",  "End"};
  EXPECT_EQ(axes, expected);
  // The axes come before the centring shift, the model after it.
  EXPECT_LT(f.gl.calls.indexOf("Begin Lines"), f.gl.calls.indexOf("Begin Triangles"));
}

TEST(ViewerFrame, PolylinesAreLineStrips) {
  ViewerFixture f;
  f.view.TrybPracy = TTrybPracy::tpPrzegladPlikuWy;
  const std::vector<TFigura3D> lines = {{{{1, 2, 0}, {3, 4, 0}}}, {}, {{{5, 6, 7}}}};
  f.view.LadujListeFigur(&lines, 0, 0, 10, 10);
  f.gl.calls.clear();
  f.view.Paint();
  const QStringList expected = {"Begin LineStrip", "Vertex 1 2 0", "Vertex 3 4 0", "End",
                                "Begin LineStrip", "Vertex 5 6 7", "End",          "SwapBuffers"};
  EXPECT_EQ(f.gl.From("Begin"), expected);
}

struct ToolCase {
  int tool;
  QStringList quadrics;  // Translate, Cylinder, Disk and Sphere calls after the 270-degree turn
  QStringList labels;    // RasterPos and the text drawn there
};

// r = 50 in every tool, so the shank end has R = 50 + Round(12.5) = 62.
TEST(ViewerTools, QuadricsAndDimensionLabels) {
  const ToolCase cases[] = {
      {0,
       {"Translate 0 0 -150", "Disk 0 50 50 50", "Cylinder 50 50 150 50 150", "Translate 0 0 150",
        "Cylinder 50 62 150 62 150", "Translate 0 0 150", "Disk 0 62 62 150"},
       {"RasterPos 97 0 -225", "CallLists 1000 \"h \"", "RasterPos 137 0 -165",
        "CallLists 1000 \"hc \"", "RasterPos -12 0 -335", "CallLists 1000 \"d1\"",
        "RasterPos -12 0 25", "CallLists 1000 \"d3\""}},
      {1,
       {"Translate 0 0 -100", "Sphere 50 50 50", "Cylinder 50 50 70 50 70", "Translate 0 0 70",
        "Cylinder 50 62 180 62 180", "Translate 0 0 180", "Disk 0 62 62 180"},
       {"RasterPos 97 0 -240", "CallLists 1000 \"h \"", "RasterPos 137 0 -165",
        "CallLists 1000 \"hc \"", "RasterPos -12 0 -335", "CallLists 1000 \"d1\"",
        "RasterPos -12 0 25", "CallLists 1000 \"d3\""}},
      {2,
       {"Translate 0 0 -150", "Cylinder 15 50 50 50 50", "Disk 0 15 30 30", "Translate 0 0 50",
        "Cylinder 50 50 100 50 100", "Translate 0 0 100", "Cylinder 50 62 150 62 150",
        "Translate 0 0 150", "Disk 0 62 62 150"},
       {"RasterPos 102 0 -275", "CallLists 1000 \"h \"", "RasterPos 142 0 -150",
        "CallLists 1000 \"hc \"", "RasterPos -12 0 -335", "CallLists 1000 \"d1\"",
        "RasterPos -12 0 -360", "CallLists 1000 \"d2\"", "RasterPos -12 0 25",
        "CallLists 1000 \"d3\""}},
      {3, {}, {}},
  };
  for (const ToolCase& c : cases) {
    SCOPED_TRACE(c.tool);
    ViewerFixture f;
    f.view.TrybPracy = TTrybPracy::tpPrzegladNarzedzi;
    f.view.UkladWsp = true;
    f.view.PokazNarzedzie(c.tool);
    f.view.PokazNarzedzie(c.tool);  // the font is made once
    EXPECT_EQ(f.gl.fonts, 1);
    EXPECT_EQ(f.view.Widok().Skala, 0.01);
    f.gl.calls.clear();
    f.view.Paint();
    QStringList quadrics, labels;
    for (const QString& call : f.gl.From("Rotate 270 1 0 0").mid(1)) {
      if (call.startsWith("Translate") || call.startsWith("Cylinder") || call.startsWith("Disk") ||
          call.startsWith("Sphere"))
        quadrics << call;
      if (call.startsWith("RasterPos") || call.startsWith("CallLists")) labels << call;
    }
    EXPECT_EQ(quadrics, c.quadrics);
    EXPECT_EQ(labels, c.labels);
  }
}

TEST(ViewerTools, DimensionLinesOfTheTippedTool) {
  ViewerFixture f;
  f.view.TrybPracy = TTrybPracy::tpPrzegladNarzedzi;
  f.view.UkladWsp = true;
  f.view.PokazNarzedzie(2);  // r 50, L1 100, L2 150, tip 15: S = 300
  f.gl.calls.clear();
  f.view.Paint();
  QStringList lines = f.gl.From("Begin Lines");
  lines = lines.mid(1, lines.indexOf("End") - 1);
  ASSERT_EQ(lines.size(), 5 * 6);  // five dimensions of three strokes
  // Along Z at x = R + 20 from -(L1 + L2) to -S, ticks across both ends.
  EXPECT_EQ(lines.mid(0, 6),
            (QStringList{"Vertex 82 0 -250", "Vertex 82 0 -300", "Vertex 81 0 -250",
                         "Vertex 83 0 -250", "Vertex 81 0 -300", "Vertex 83 0 -300"}));
  // Along X at z = 20 from -R to R.
  EXPECT_EQ(lines.mid(24, 6), (QStringList{"Vertex -62 0 20", "Vertex 62 0 20", "Vertex -62 0 19",
                                           "Vertex -62 0 21", "Vertex 62 0 19", "Vertex 62 0 21"}));
}

TEST(ViewerContext, NoContextIsReportedOnceAndDrawsNothing) {
  ScopedMessageRecorder rec;
  ViewerFixture f;
  f.gl.state = TGLContextState::Unavailable;
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);
  f.view.ResetujPrzeksztalcenia();
  f.view.UstawModelKolor(0xFF);
  f.view.ZapiszPolozenie();
  f.view.CzyscScene();
  ASSERT_EQ(rec.requests.size(), 1);
  EXPECT_EQ(rec.requests[0].icon, MessageIcon::Error);
  EXPECT_FALSE(f.view.KontekstUtworzony());
  EXPECT_EQ(f.gl.calls, (QStringList{"CreateContext", "CreateContext"}));
  // The view itself is still kept.
  EXPECT_GT(f.view.Widok().Skala, 0);
}

TEST(ViewerContext, SetUpWaitsForAWindowNotYetShown) {
  ScopedMessageRecorder rec;
  ViewerFixture f;
  f.gl.state = TGLContextState::Pending;
  f.view.LadujListeRAW(&kModel, 0, 0, 0, 4, 2, 6);
  EXPECT_TRUE(f.view.KontekstOczekuje());
  EXPECT_TRUE(f.gl.With("Perspective").isEmpty());

  f.gl.state = TGLContextState::Ready;
  const int renders = f.gl.renders;
  f.view.KontekstDostepny();
  EXPECT_TRUE(f.view.KontekstUtworzony());
  EXPECT_FALSE(f.view.KontekstOczekuje());
  EXPECT_EQ(f.gl.With("Perspective").size(), 1);
  EXPECT_EQ(f.gl.renders, renders + 1);
  EXPECT_TRUE(rec.requests.isEmpty());

  // A lost context (the window moved) is set up again when the next one comes.
  f.view.KontekstUtracony();
  EXPECT_FALSE(f.view.KontekstUtworzony());
  f.view.KontekstDostepny();
  EXPECT_EQ(f.gl.With("Perspective").size(), 2);
}

}  // namespace
}  // namespace vm
