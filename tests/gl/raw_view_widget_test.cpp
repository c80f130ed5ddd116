// The 3D viewer widget on a real GL context: a small model and a tool model
// come out in the framebuffer, and a locked viewer shows only its background.
#include "model3d/ui/raw_view_widget.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <functional>

namespace vm {
namespace {

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// Pixels that are not the black background.
int LitPixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) != 0) ++n;
  return n;
}

void Save(const QImage& img, const char* name) {
  img.save(QDir::temp().filePath(QString::fromLatin1(name)));
}

class RawViewWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    w.resize(160, 120);
    w.view().Color = 0;  // black panel
    w.show();
    ASSERT_NE(w.surface(), nullptr) << "no OpenGL on this display";
    ASSERT_TRUE(WaitFor([this] { return w.surface()->isValid(); }));
  }
  ui::TRAWviewWidget w;
};

// A 10 mm square of two counter-clockwise triangles facing the viewer.
const std::vector<TRawTrojkat> kSquare = {{0, 0, 0, 10, 0, 0, 10, 10, 0},
                                          {0, 0, 0, 10, 10, 0, 0, 10, 0}};

TEST_F(RawViewWidget, ModelPixelsDifferFromTheBackground) {
  w.view().TrybPracy = TTrybPracy::tpPrzegladRAWtermSeryjne;
  w.view().LadujListeRAW(&kSquare, 0, 0, 0, 10, 10, 0);
  ASSERT_TRUE(w.view().KontekstUtworzony());
  const QImage img = w.surface()->grabFramebuffer();
  Save(img, "raw_view_model.png");
  ASSERT_EQ(img.size(), QSize(160, 120));

  // The centred square covers the middle; the corners stay background.
  const QRgb centre = img.pixel(80, 60);
  EXPECT_GT(qRed(centre), 64);
  EXPECT_EQ(qGreen(centre), 0);
  EXPECT_EQ(qBlue(centre), 0);
  EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, 0u);
  const int lit = LitPixels(img);
  EXPECT_GT(lit, 500);
  EXPECT_LT(lit, 160 * 120 / 2);

  // Turned by 90 degrees about Y the square is seen edge-on.
  w.view().Nawigacja(1, 180, 0);
  EXPECT_LT(LitPixels(w.surface()->grabFramebuffer()), lit / 4);

  w.view().Locked = true;
  EXPECT_EQ(LitPixels(w.surface()->grabFramebuffer()), 0);
}

TEST_F(RawViewWidget, ToolModelWithDimensionsIsDrawn) {
  w.view().TrybPracy = TTrybPracy::tpPrzegladNarzedzi;
  w.view().UkladWsp = true;
  w.view().PokazNarzedzie(2);
  const QImage img = w.surface()->grabFramebuffer();
  Save(img, "raw_view_tool.png");
  EXPECT_GT(LitPixels(img), 300);
}

}  // namespace
}  // namespace vm
