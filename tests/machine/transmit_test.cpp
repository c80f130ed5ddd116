// Job transmission against the controller emulator, judged by the bytes the
// emulator received: the job file arrives complete and in order, with the
// progress in steps of one byte and then a kilobyte; an abort is followed by
// the tail of 20 bytes of value 64 and a drain; a dead or held line ends with
// Cancel and one report; a refused start sends nothing but the status query;
// no other caller's bytes get into the stream.
#include "machine/transmit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "drawing/job_writer.h"
#include "drawing/rounding.h"
#include "machine/link_fixture.h"
#include "machine/manual_control.h"
#include "sim/job_decoder.h"
#include "support/test_support.h"

namespace vm::test {
namespace {

using sim::JobCommand;

// `n` pause commands "p" 5.
QByteArray Pauses(int n) {
  QByteArray job;
  for (int i = 0; i < n; ++i) job.append("p\x05", 2);
  return job;
}

// A plain-cutting job of `moves` moves written by the program's job writer:
// a meander with corners and short moves, so every byte value of the move
// encoding turns up.
QByteArray CuttingJob(const QString& file, int moves) {
  JobWriter w;
  JobSettings settings;
  settings.CalibrationX = 1.013;
  w.BeginJob(file, settings);
  w.SetStart(0, 0, 0);
  std::int32_t x = 0, y = 0, dir = 1;
  for (int i = 1; i <= moves; ++i) {
    if (i % 16 == 0) {
      y += 397;
      dir = -dir;
    } else {
      x += dir * (i % 16 == 7 ? 61 : 1193 + i % 7);
    }
    w.MoveTo(x, y);
  }
  w.EndJob();
  return ReadAll(file);
}

class TransmitTest : public LinkTest {
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

  void WriteJob(const QByteArray& job) { ASSERT_TRUE(WriteAll(ExeDir + "out.cn", job)); }
  // Runs the window, recording the bytes sent after every progress step.
  ModalResult Run(Ttransmisja& w, std::function<void(Ttransmisja&)> onStep = {}) {
    w.OnProgress = [&w, onStep, this] {
      progress.push_back(w.BytesSent());
      if (onStep) onStep(w);
    };
    sim.ClearReceived();
    return w.RunModal();
  }
  // The sender has given the port back (after a broken-off transfer it still
  // sends the tail and drains when the window has ended).
  void WaitUntilPortHome(Ttransmisja& w) {
    ASSERT_TRUE(WaitForEvents([&] { return !w.Sending(); }));
    EXPECT_FALSE(PortLent());
  }
  std::vector<JobCommand> JobBuffer() {
    return sim.With([](sim::Controller& c) { return c.JobBuffer(); });
  }
  QStringList MessageTexts() const {
    QStringList texts;
    for (const MessageRequest& r : messages.requests) texts << r.text;
    return texts;
  }

  QTemporaryDir dir_;
  std::vector<std::int64_t> progress;
};

TEST_F(TransmitTest, JobArrivesByteExactOneByteFirstThenKilobytes) {
  struct Case {
    const char* name;
    QByteArray job;
    std::vector<std::int64_t> progress;  // at activation, then after each step
    int trackBarMax;
  };
  const QByteArray cutting = CuttingJob(dir_.filePath("cut.cn"), 300);
  ASSERT_GT(cutting.size(), 3 * 1024 + 1);
  std::vector<std::int64_t> cuttingSteps{0, 1};
  for (std::int64_t end = 1025; end < cutting.size(); end += 1024) cuttingSteps.push_back(end);
  cuttingSteps.push_back(cutting.size());
  const Case cases[] = {
      {"one byte", "w", {0, 1}, 0},
      {"1025 bytes", Pauses(512) + "w", {0, 1, 1025}, 1},
      {"2050 bytes", Pauses(1024) + "ww", {0, 1, 1025, 2049, 2050}, 2},
      {"cutting job", cutting, cuttingSteps, Round(cutting.size() / 1024.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteJob(c.job);
    ClearCommands();
    progress.clear();
    Ttransmisja w;
    EXPECT_EQ(Run(w), ModalResult::OK);
    // The window ends with the port back home.
    EXPECT_FALSE(w.Sending());
    EXPECT_FALSE(PortLent());
    EXPECT_EQ(progress, c.progress);
    EXPECT_EQ(w.poszlo, "100");
    EXPECT_EQ(w.TrackBarMax, c.trackBarMax);
    // A status query, the file as it stands, the closing status query.
    EXPECT_EQ(Hex(sim.Received()), Hex("X" + c.job + "X"));
    EXPECT_EQ(JobBuffer(), sim::DecodeJob(c.job).commands);
    // The controller's reply to the whole job was read before the end.
    EXPECT_EQ(SerialState.LastError, 0u);
    EXPECT_FALSE(SerialState.PortError);
    EXPECT_EQ(w.LastPacing().bytes, c.job.size());
    // The port is the program's again.
    ReadStatus();
    EXPECT_FALSE(LinkFailed());
    sim.With([](sim::Controller& ctl) { return ctl.Receive('C', sim::Controller::Clock::now()); });
  }
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(TransmitTest, SequencerEntryPointSendsTheJobFile) {
  const QByteArray job = Pauses(40);
  WriteJob(job);
  sim.ClearReceived();
  EXPECT_TRUE(TransmitJobFile("Transmission (3)"));
  EXPECT_EQ(transmisja().Caption, "Transmission (3)");
  EXPECT_EQ(JobBuffer(), sim::DecodeJob(job).commands);

  // A window that does not end with OK is no transfer.
  SetTransmissionShowHandler([](Ttransmisja&) { return ModalResult::Cancel; });
  EXPECT_FALSE(TransmitJobFile("Transmission"));
}

TEST_F(TransmitTest, AbortEndsWithCancelAndTheTailDropsThePartialJob) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  Ttransmisja w;
  const ModalResult r = Run(w, [](Ttransmisja& t) {
    if (t.BytesSent() >= 1025) t.PrzerwijClick();
  });
  EXPECT_EQ(r, ModalResult::Cancel);
  // The sender stops after the byte it is on.
  EXPECT_GE(w.BytesSent(), 1025);
  EXPECT_LT(w.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo, QString::number(Round(w.BytesSent() * 100.0 / job.size())));
  WaitUntilPortHome(w);
  // No closing status query: the tail follows the last byte sent, and the
  // drain ran until a read timed out.
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job.left(w.BytesSent()) + QByteArray(20, '@')));
  EXPECT_TRUE(JobBuffer().empty());
  EXPECT_EQ(SerialState.LastError, kReadTimedOut);
  EXPECT_FALSE(SerialState.PortError);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(TransmitTest, PortWantedDuringTheDrainComesBackAtOnce) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  Ttransmisja w;
  EXPECT_EQ(Run(w,
                [](Ttransmisja& t) {
                  if (t.BytesSent() >= 1) t.PrzerwijClick();
                }),
            ModalResult::Cancel);
  EXPECT_LT(w.BytesSent(), job.size());
  // The window has ended while the sender drains: the next command takes
  // the port back after the tail, at the first gap in the controller's
  // replies, and goes out after it.
  ReadStatus();
  EXPECT_FALSE(LinkFailed());
  EXPECT_FALSE(PortLent());
  EXPECT_FALSE(w.Sending());
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job.left(w.BytesSent()) + QByteArray(20, '@') + "X"));
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(TransmitTest, OtherCallersDoNotTouchThePortDuringTheTransfer) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  Ttransmisja w;
  std::vector<std::uint32_t> errors;
  const ModalResult r = Run(w, [&](Ttransmisja& t) {
    if (t.BytesSent() != 1025) return;
    // A status query, a stray read and a discard while the job streams:
    // each fails at once as on a busy line and nothing reaches the port.
    SerialState.PortError = false;
    SendString("X");
    errors.push_back(SerialState.LastError);
    ReadByte();
    errors.push_back(SerialState.LastError);
    DiscardInput();
    EXPECT_TRUE(PortIsOpen());
  });
  EXPECT_EQ(r, ModalResult::OK);
  EXPECT_EQ(errors, (std::vector<std::uint32_t>{kPortBusy, kPortBusy}));
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job + "X"));
  EXPECT_EQ(JobBuffer(), sim::DecodeJob(job).commands);
}

TEST_F(TransmitTest, ManualControlPollWaitsWhileTheJobStreams) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  ResetTster();
  Ttransmisja w;
  int polls = 0;
  // The manual control window's 100 ms poll runs through the whole transfer.
  const ModalResult r = Run(w, [&](Ttransmisja& t) {
    if (t.BytesSent() == 1) ster().Timer1().start();
    if (ster().Polling()) ++polls;
  });
  EXPECT_EQ(r, ModalResult::OK);
  EXPECT_GE(polls, 3);
  // Still polling (no failed exchange stopped it), and none of its queries
  // got into the job.
  EXPECT_TRUE(ster().Polling());
  ster().Timer1().stop();
  EXPECT_TRUE(sim.Received().startsWith("X" + job + "X"))
      << Hex(sim.Received().left(8)).toStdString();
  EXPECT_TRUE(messages.requests.isEmpty());
  ResetTster();
}

TEST_F(TransmitTest, DeadLineMidwayIsReportedOnce) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  sim.HangUpAfterBytes(1 + 100);  // the status query and 100 job bytes
  Ttransmisja w;
  EXPECT_EQ(Run(w), ModalResult::Cancel);
  WaitUntilPortHome(w);
  // What the system took before the hang-up showed counts as sent.
  EXPECT_GE(w.BytesSent(), 100);
  EXPECT_LT(w.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo, QString::number(Round(w.BytesSent() * 100.0 / job.size())));
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
  EXPECT_FALSE(PortIsOpen());
  // A dead line is not drained until a read times out.
  EXPECT_TRUE(SerialState.PortError);
  EXPECT_NE(SerialState.LastError, kReadTimedOut);
}

TEST_F(TransmitTest, LineHeldMidwayCountsOnlyTheBytesWritten) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  Ttransmisja w;
  bool limited = false;
  // At activation the status query has been answered and no job byte has
  // gone out yet: from here on the line takes 200 bytes, then holds.
  const ModalResult r = Run(w, [&](Ttransmisja& t) {
    if (t.BytesSent() == 0 && !limited) limited = sim.LimitWriteRoom(200);
  });
  ASSERT_TRUE(limited);
  EXPECT_EQ(r, ModalResult::Cancel);
  EXPECT_EQ(w.BytesSent(), 200);
  EXPECT_EQ(w.poszlo, "7");
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
  // Closing the port breaks off the tail that waits for room; once the line
  // is read again, exactly the bytes counted as sent arrive.
  ClosePort();
  EXPECT_FALSE(w.Sending());
  sim.SetStopReading(false);
  ASSERT_TRUE(WaitForEvents([&] { return sim.Received().size() >= 1 + 200; }));
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job.left(200)));
}

TEST_F(TransmitTest, LineLostAfterTheLastByteIsNoConfirmedTransfer) {
  const QByteArray job = Pauses(100);
  WriteJob(job);
  sim.HangUpAfterBytes(1 + job.size());
  Ttransmisja w;
  EXPECT_EQ(Run(w), ModalResult::Cancel);
  EXPECT_FALSE(w.Sending());
  EXPECT_EQ(w.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo, "100");
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
  EXPECT_TRUE(SerialState.PortError);
}

TEST_F(TransmitTest, RefusedStartSendsNothingButTheStatusQuery) {
  const QString cannotOpen =
      Tr("Universal", "zbioruNieMoznaOtworzyc") + QDir::toNativeSeparators(ExeDir + "out.cn");
  struct Case {
    const char* name;
    std::function<void()> arrange;
    QStringList messages;
  };
  const Case cases[] = {
      {"missing file", [] {}, {cannotOpen}},
      {"empty file", [&] { WriteJob(""); }, {}},
      {"4 MiB file",
       [&] { WriteJob(QByteArray(4194304, 'w')); },
       {Tr("Main_window", "ploterPrzekroczonyBufor")}},
      {"job running",
       [&] {
         WriteJob("w");
         sim.With([](sim::Controller& c) {
           c.SetSpeedUp(1);
           const auto now = sim::Controller::Clock::now();
           for (const char b : QByteArray("C") + QByteArray(8, 'p').replace('p', "p\xfa") + "G")
             c.Receive(static_cast<std::uint8_t>(b), now);
         });
       },
       {Tr("Transmission", "wyslanieZbioruNiemozliwe")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(ExeDir + "out.cn");
    messages.requests.clear();
    c.arrange();
    Ttransmisja w;
    EXPECT_EQ(Run(w), ModalResult::Cancel);
    EXPECT_EQ(MessageTexts(), c.messages);
    EXPECT_FALSE(w.FileOpened());
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(Hex(sim.Received()), Hex("X"));
  }
}

TEST_F(TransmitTest, SilentControllerIsReportedOnceAndNothingIsSent) {
  WriteJob("w");
  sim.SetSilent(true);
  Ttransmisja w;
  EXPECT_EQ(Run(w), ModalResult::Cancel);
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
  EXPECT_EQ(Hex(sim.Received()), Hex("X"));
}

}  // namespace
}  // namespace vm::test
