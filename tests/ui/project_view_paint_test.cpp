// The project window widget: what it paints (pixel colours of known figures),
// a click through the widget, and a simulation drawn into the back buffer,
// stopped by a left click that selects nothing, while a right click during it
// opens nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "project/figure_colours.h"
#include "project/ui/project_window.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "support/test_support.h"

namespace vm {
namespace {

QColor Qc(TColour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

tfigura& Add(TMDIChild& w, std::vector<TPointI> pts, std::uint8_t typ, bool unlinked = false) {
  auto f = std::make_unique<tfigura>();
  f->Points = std::move(pts);
  const auto i = w.AddFigure(std::move(f));
  tfigura& fig = *w.Figures[static_cast<std::size_t>(i)];
  fig.typ = typ;
  fig.Unlinked = unlinked;
  fig.LinkParent = -1;
  fig.EntryVertex = 0;
  return fig;
}

class ProjectWindowPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
    window = std::make_unique<ui::ProjectWindow>();
    TMDIChild& w = window->project();
    Add(w, {{0, 0}, {4000, 0}, {4000, 2000}, {0, 2000}, {0, 0}}, 1);  // 0 closed: black
    Add(w, {{500, 500}, {3500, 500}}, 0);                             // 1 open: blue
    Add(w, {{500, 1000}, {3500, 1000}}, 0, true);                     // 2 unlinked: red
    Add(w, {{500, 1500}, {3500, 1500}}, 1);                           // 3 selected: white
    w.Ustaw_PPiPK();
    w.Width = w.MaxX - w.MinX;
    w.Height = w.MaxY - w.MinY;
    w.SelectedFigure = 3;
    window->resize(420, 260);
  }
  void TearDown() override {
    window.reset();
    InstallInterfejs(nullptr);
  }
  // The pixel where the window shows a project point.
  QPoint At(TPointI p) const { return window->view().Transform().ToPixel(p); }

  std::unique_ptr<ui::ProjectWindow> window;
};

TEST_F(ProjectWindowPaint, FiguresInTheColoursOfTheirRoles) {
  const QImage image = window->grab().toImage();
  ASSERT_TRUE(window->view().Transform().Valid);
  // The corner of the project sits 7 pixels right of the left edge and 7
  // above the status bar.
  EXPECT_EQ(At({0, 0}), QPoint(7, window->height() - window->statusBar()->height() - 7));
  EXPECT_EQ(image.pixelColor(At({2000, 0})), Qc(kColourBlack));
  EXPECT_EQ(image.pixelColor(At({2000, 500})), Qc(kColourBlue));
  EXPECT_EQ(image.pixelColor(At({2000, 1000})), Qc(kColourRed));
  EXPECT_EQ(image.pixelColor(At({2000, 1500})), Qc(kColourWhite));
  EXPECT_EQ(image.pixelColor(At({2000, 750})), Qc(kColourBackground));
}

TEST_F(ProjectWindowPaint, LeftClickSelectsAndShowsTheNumber) {
  window->grab();
  const QPoint p = At({2000, 500});
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), QPointF(window->mapToGlobal(p)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &press);
  EXPECT_EQ(window->project().SelectedFigure, 1);
  EXPECT_EQ(window->statusBar()->currentMessage(), Tr("Project_window", "wybranaFiguraNr") + "1");
  EXPECT_EQ(window->grab().toImage().pixelColor(p), Qc(kColourWhite));
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), QPointF(window->mapToGlobal(p)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &release);
  EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
}

class ProjectWindowSimulation : public ProjectWindowPaint {
 protected:
  void SetUp() override {
    ProjectWindowPaint::SetUp();
    // One open line across the window, cut from its left end.
    window->project().Figures.clear();
    TMDIChild& w = window->project();
    Add(w, {{0, 0}, {4000, 0}, {4000, 400}}, 0);
    w.Ustaw_PPiPK();
    w.Width = w.MaxX - w.MinX;
    w.Height = w.MaxY - w.MinY;
    w.SelectedFigure = -1;
    w.FirstFigure = 0;
    w.SingleOpenFigure = true;
    w.FeedDirection = 1;
    Dlgkonfig().Pauza_w_kacie.SetValue(0);
    Dlgkonfig().CatDir.SetItemIndex(0);
    window->show();
    window->grab();
  }
};

TEST_F(ProjectWindowSimulation, ReplayDrawsThePathInRed) {
  window->simulate();
  const TMDIChild& w = window->project();
  EXPECT_FALSE(w.SimulationAborted);
  EXPECT_FALSE(w.Simulating);
  const QImage& buffer = window->backBuffer();
  // Dots along the line, and beside it (a dot is 3 pixels across).
  const QPoint mid = At({2000, 0});
  EXPECT_EQ(buffer.pixelColor(mid), Qc(kReplayColour));
  EXPECT_EQ(buffer.pixelColor(mid - QPoint(0, 1)), Qc(kReplayColour));
  EXPECT_EQ(buffer.pixelColor(At({4000, 200})), Qc(kReplayColour));
  // The normal drawing comes back at the next paint.
  EXPECT_EQ(window->grab().toImage().pixelColor(mid - QPoint(0, 1)), Qc(kColourBackground));
}

TEST_F(ProjectWindowSimulation, LeftClickStopsTheReplayAndSelectsNothing) {
  const QPoint p = At({2000, 0});
  QCoreApplication::postEvent(
      window.get(),
      new QMouseEvent(QEvent::MouseButtonPress, QPointF(p), QPointF(window->mapToGlobal(p)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  window->simulate();
  const TMDIChild& w = window->project();
  EXPECT_TRUE(w.SimulationAborted);
  // Stopped at the first step: the far end was never reached.
  EXPECT_NE(window->backBuffer().pixelColor(At({4000, 200})), Qc(kReplayColour));
  // The click was taken, not delivered later.
  QCoreApplication::processEvents();
  EXPECT_EQ(w.SelectedFigure, -1);
}

TEST_F(ProjectWindowSimulation, RightClickDuringTheReplayOpensNothingAndDoesNotStopIt) {
  const QPoint p = At({2000, 0});
  QCoreApplication::postEvent(
      window.get(),
      new QMouseEvent(QEvent::MouseButtonPress, QPointF(p), QPointF(window->mapToGlobal(p)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier));
  // A dialog opened inside the replay would block it: close any that comes.
  int dialogs = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ++dialogs;
      modal->close();
    }
  });
  closer.start(5);
  window->simulate();
  EXPECT_FALSE(window->project().SimulationAborted);
  EXPECT_EQ(window->backBuffer().pixelColor(At({4000, 200})), Qc(kReplayColour));
  // The click was taken during the replay, not delivered after it.
  QCoreApplication::processEvents();
  closer.stop();
  EXPECT_EQ(dialogs, 0);
}

TEST_F(ProjectWindowSimulation, BrokenTreeIsReportedInTheWindowsText) {
  window->project().FirstFigure = 5;  // past the figure list
  QStringList shown;
  const MessageHandler old = SetMessageHandler([&](const MessageRequest& r) {
    shown << r.text;
    return ModalResult::OK;
  });
  window->simulate();
  SetMessageHandler(old);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown.front().startsWith(Tr("Project_window", "bladRysowania")))
      << shown.front().toStdString();
  EXPECT_FALSE(window->project().Simulating);
}

}  // namespace
}  // namespace vm
