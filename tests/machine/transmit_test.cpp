// Job transmission against the controller emulator: the job file arrives byte
// for byte, in ticks of one byte and then a kilobyte; an abort and a dead line
// end with Cancel; a refused start sends nothing but the status query.
#include "machine/transmit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>

#include "drawing/rounding.h"
#include "machine/link_fixture.h"
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
  // Runs the window, recording the bytes sent after every progress update.
  ModalResult Run(Ttransmisja& w, std::function<void(Ttransmisja&)> onTick = {}) {
    w.OnProgress = [&] {
      progress.push_back(w.BytesSent());
      if (onTick) onTick(w);
    };
    sim.ClearReceived();
    return w.RunModal();
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
    QByteArray job;
    std::vector<std::int64_t> progress;  // at activation, then after each tick
    int trackBarMax;
  };
  const Case cases[] = {
      {"w", {0, 1}, 0},
      {Pauses(512) + "w", {0, 1, 1025}, 1},
      {Pauses(1024) + "ww", {0, 1, 1025, 2049, 2050}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.job.size());
    WriteJob(c.job);
    sim.With([](sim::Controller& ctl) { ctl.ClearCommands(); });
    progress.clear();
    Ttransmisja w;
    EXPECT_EQ(Run(w), ModalResult::OK);
    EXPECT_EQ(progress, c.progress);
    EXPECT_EQ(w.poszlo, "100");
    EXPECT_EQ(w.TrackBarMax, c.trackBarMax);
    // A status query, the file as it stands, the closing status query.
    EXPECT_EQ(Hex(sim.Received()), Hex("X" + c.job + "X"));
    EXPECT_EQ(JobBuffer(), sim::DecodeJob(c.job).commands);
    // The controller's reply to the whole job was read when the window closed.
    EXPECT_EQ(SerialState.LastError, 0u);
    EXPECT_FALSE(w.Timer1().isActive());
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
  EXPECT_EQ(w.BytesSent(), 1025);
  EXPECT_EQ(w.poszlo, "34");
  // No closing status query: the tail follows the last byte sent, and the
  // drain ran until a read timed out.
  EXPECT_EQ(Hex(sim.Received()), Hex("X" + job.left(1025) + QByteArray(20, '@')));
  EXPECT_TRUE(JobBuffer().empty());
  EXPECT_EQ(SerialState.LastError, kReadTimedOut);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(TransmitTest, DeadLineMidwayIsReportedOnce) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  sim.HangUpAfterBytes(1 + 100);  // the status query and 100 job bytes
  Ttransmisja w;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run(w), ModalResult::Cancel);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900))
      << "a dead line must not be drained until a time-out";
  // What the system took before the hang-up showed counts as sent.
  EXPECT_GE(w.BytesSent(), 100);
  EXPECT_LT(w.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo, QString::number(Round(w.BytesSent() * 100.0 / job.size())));
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(TransmitTest, LineHeldMidwayCountsOnlyTheBytesWritten) {
  const QByteArray job = Pauses(1500);
  WriteJob(job);
  Ttransmisja w;
  bool limited = false;
  const ModalResult r = Run(w, [&](Ttransmisja& t) {
    if (t.BytesSent() == 1 && !limited) limited = sim.LimitWriteRoom(200);
  });
  ASSERT_TRUE(limited);
  EXPECT_EQ(r, ModalResult::Cancel);
  EXPECT_EQ(w.BytesSent(), 201);
  EXPECT_EQ(w.poszlo, "7");
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
}

TEST_F(TransmitTest, LineLostAfterTheLastByteIsNoConfirmedTransfer) {
  const QByteArray job = Pauses(100);
  WriteJob(job);
  sim.HangUpAfterBytes(1 + job.size());
  Ttransmisja w;
  EXPECT_EQ(Run(w), ModalResult::Cancel);
  EXPECT_EQ(w.BytesSent(), job.size());
  EXPECT_EQ(w.poszlo, "100");
  EXPECT_EQ(MessageTexts(), QStringList{Tr("Control", "ploterBrakLacznosci")});
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
    EXPECT_EQ(Hex(sim.Received()), Hex("X"));
    EXPECT_FALSE(w.Timer1().isActive());
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
