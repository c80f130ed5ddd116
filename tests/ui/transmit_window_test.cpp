// The transmission window shows the core's texts and progress, cannot be
// closed by the operator, stays live while the job streams, and its Abort
// button breaks off the transfer that the sequencer's entry point runs
// through it.
#include "machine/ui/transmit_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "drawing/rounding.h"
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
  for (int i = 0; i < 1400; ++i) job.append("p\x05", 2);
  ASSERT_TRUE(WriteAll(ExeDir + "out.cn", job));
  ui::TransmitWindow w(transmisja());
  EXPECT_EQ(w.przerwij()->text(), Tr("Transmission", "przerwij.caption"));
  EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w.trackBar()->isEnabled());

  // The window's event loop keeps turning while the job streams: a timer of
  // the program fires again and again during every kilobyte (a loop blocked
  // while a kilobyte is written would fire it once, after it), and each step
  // is shown.
  int timerShots = 0;
  std::vector<int> shotsAtStep;
  QStringList percents;
  QTimer other;
  QObject::connect(&other, &QTimer::timeout, [&] { ++timerShots; });
  other.start(1);
  Ttransmisja& form = w.form();
  const auto repaint = form.OnProgress;
  QPoint centre;
  form.OnProgress = [&] {
    repaint();
    shotsAtStep.push_back(timerShots);
    percents << w.poszlo()->text();
    centre = w.frameGeometry().center();
  };
  sim.ClearReceived();
  EXPECT_TRUE(TransmitJobFile(Tr("Transmission", "caption") + " (7)"));
  EXPECT_EQ(w.windowTitle(), Tr("Transmission", "caption") + " (7)");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(percents, (QStringList{"0", "0", "37", "73", "100"}));
  // Centred on the screen.
  ASSERT_NE(w.screen(), nullptr);
  // (within the few pixels of the window's frame)
  EXPECT_LE((centre - w.screen()->availableGeometry().center()).manhattanLength(), 8);
  ASSERT_EQ(shotsAtStep.size(), 5u);
  for (std::size_t i = 2; i < shotsAtStep.size(); ++i) {
    EXPECT_GE(shotsAtStep[i] - shotsAtStep[i - 1], 2) << "step " << i;
  }
  EXPECT_EQ(w.poszlo()->text(), "100");
  EXPECT_EQ(w.trackBar()->maximum(), 3);
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job + "X"));
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.JobBuffer().size(); }), 1400u);
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
  sim.ClearReceived();
  EXPECT_FALSE(TransmitJobFile("Transmission"));
  EXPECT_TRUE(stillOpenAfterEscapeAndClose);
  EXPECT_FALSE(w.isVisible());
  EXPECT_GE(form.BytesSent(), 1025);
  EXPECT_LT(form.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo()->text(), QString::number(Round(form.BytesSent() * 100.0 / job.size())));
  // The tail and the drain follow once the window has gone.
  ASSERT_TRUE(WaitForEvents([&] { return !form.Sending(); }));
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job.left(form.BytesSent()) + QByteArray(20, '@')));
  EXPECT_TRUE(messages.requests.isEmpty());
}

}  // namespace
}  // namespace vm::test
