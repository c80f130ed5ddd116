// The 3D viewer widget where no GL context can be had (the offscreen
// platform): the panel holds no GL surface, the operator is told once, and
// nothing breaks.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "model3d/ui/raw_view_widget.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

TEST(RawViewNoContext, ReportedOnceWithoutDrawing) {
  ScopedMessageRecorder rec;
  ui::TRAWviewWidget w;
  w.resize(120, 90);
  w.show();
  QCoreApplication::processEvents();
  if (w.surface() != nullptr) GTEST_SKIP() << "this display has OpenGL";

  const std::vector<TRawTrojkat> model = {{0, 0, 0, 1, 0, 0, 0, 1, 0}};
  w.view().LadujListeRAW(&model, 0, 0, 0, 1, 1, 0);
  w.view().ResetujPrzeksztalcenia();
  w.view().Nawigacja(1, 10, 0);
  w.view().PokazScene();
  w.resize(200, 150);
  QCoreApplication::processEvents();

  ASSERT_EQ(rec.requests.size(), 1);
  EXPECT_EQ(rec.requests[0].icon, MessageIcon::Error);
  EXPECT_FALSE(w.view().KontekstUtworzony());
  EXPECT_EQ(w.view().ClientWidth, 200);
}

}  // namespace
}  // namespace vm
