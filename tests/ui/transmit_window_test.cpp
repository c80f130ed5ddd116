// The transmission window shows the core's texts and progress, cannot be
// closed by the operator, and its Abort button breaks off the transfer that
// the sequencer's entry point runs through it.
#include "machine/ui/transmit_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include "machine/link_fixture.h"
#include "machine/transmit.h"
#include "support/test_support.h"

namespace vm::test {
namespace {

class TransmitWindowTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ResetTransmisja();
    ASSERT_TRUE(dir_.isValid());
    ExeDir = dir_.path() + "/";
  }
  void TearDown() override {
    ResetTransmisja();
    LinkTest::TearDown();
  }
  QTemporaryDir dir_;
};

TEST_F(TransmitWindowTest, ShowsTheTransferAndEndsWithOK) {
  QByteArray job;
  for (int i = 0; i < 700; ++i) job.append("p\x05", 2);
  ASSERT_TRUE(WriteAll(ExeDir + "out.cn", job));
  ui::TransmitWindow w(transmisja());
  EXPECT_EQ(w.przerwij()->text(), Tr("Transmission", "przerwij.caption"));
  EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w.trackBar()->isEnabled());

  EXPECT_TRUE(TransmitJobFile(Tr("Transmission", "caption") + " (7)"));
  EXPECT_EQ(w.windowTitle(), Tr("Transmission", "caption") + " (7)");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.poszlo()->text(), "100");
  EXPECT_EQ(w.trackBar()->maximum(), 1);
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.JobBuffer().size(); }), 700u);
}

TEST_F(TransmitWindowTest, OnlyTheAbortButtonEndsARunningTransfer) {
  QByteArray job;
  for (int i = 0; i < 1500; ++i) job.append("p\x05", 2);
  ASSERT_TRUE(WriteAll(ExeDir + "out.cn", job));
  ui::TransmitWindow w(transmisja());
  Ttransmisja& form = w.form();
  const auto repaint = form.OnProgress;
  bool stillOpenAfterEscapeAndClose = false;
  form.OnProgress = [&] {
    repaint();
    if (form.BytesSent() != 1025) return;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &escape);
    w.close();
    stillOpenAfterEscapeAndClose = w.isVisible();
    w.przerwij()->click();
  };
  EXPECT_FALSE(TransmitJobFile("Transmission"));
  EXPECT_TRUE(stillOpenAfterEscapeAndClose);
  EXPECT_EQ(form.BytesSent(), 1025);
  EXPECT_EQ(w.poszlo()->text(), "34");
  EXPECT_TRUE(sim.Received().endsWith(QByteArray(20, '@')));
  EXPECT_TRUE(messages.requests.isEmpty());
}

}  // namespace
}  // namespace vm::test
