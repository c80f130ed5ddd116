// The road of a cut against the controller emulator: the checks, the clearing
// of the controller once it is idle, the job file byte for byte, the move to
// the start point, heating and "G"; the refusals that send nothing; test mode;
// serial cutting in pass-number order; stop and continue.
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <functional>

#include "drawing/job_writer.h"
#include "machine/sequencer_fixture.h"
#include "shell/konfig.h"
#include "support/wait_for.h"

namespace vm::test {
namespace {

int IndexOf(const QStringList& cmds, const QString& c, int from = 0) {
  return int(cmds.indexOf(c, from));
}

TEST_F(SequencerTest, PlainCutClearsTheIdleMachineSendsTheFileAndStartsWhereTheWireStands) {
  SetCommandLine({QStringLiteral("CORVANTA")});
  TMDIChild& w = AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
  ASSERT_TRUE(CutSequencer().Start1Click());

  const QStringList cmds = Cmds();
  ASSERT_EQ(jobs.size(), 1u);
  // The file went out as it stands, and the controller holds it.
  EXPECT_TRUE(sim.Received().contains(jobs[0]));
  EXPECT_EQ(JobBuffer(), sim::DecodeJob(jobs[0]).commands);
  EXPECT_EQ(captions, QStringList{"Transmission"});

  // Wire check, then "Q", an idle machine, "C" twice; "G" last and once.
  const int relayOn = IndexOf(cmds, "R 1 1");
  const int q = IndexOf(cmds, "Q");
  ASSERT_GE(relayOn, 0);
  EXPECT_LT(relayOn, IndexOf(cmds, "R 0 1"));
  ASSERT_GT(q, relayOn);
  int next = q + 1;
  while (next < cmds.size() && cmds[next] == "X") ++next;
  ASSERT_LT(next + 1, cmds.size());
  EXPECT_EQ(cmds[next], "C");
  EXPECT_EQ(cmds[next + 1], "C");
  EXPECT_EQ(Count(cmds, "C"), 2);
  EXPECT_EQ(cmds.back(), "G");
  EXPECT_EQ(Count(cmds, "G"), 1);
  // Plain cutting starts where the wire stands: no move.
  EXPECT_TRUE(cmds.filter(QRegularExpression("A .*")).isEmpty());
  EXPECT_TRUE(sim.With([](sim::Controller& c) { return c.JobRunning() || c.JobCount() == 1; }));

  // The output code during the save, restored afterwards.
  EXPECT_EQ(outputModes, (std::vector<int>{32, 1}));
  EXPECT_TRUE(startFromBuffer);
  EXPECT_TRUE(ster().Polling());
  EXPECT_GT(waitCursors, 0);
  EXPECT_EQ(waitCursors, restoredCursors);
  // Both directions: the next start runs the other way.
  EXPECT_EQ(w.LoadFeedDirection, 255);
  EXPECT_TRUE(messages.requests.isEmpty()) << MessageKeys().join('\n').toStdString();
}

TEST_F(SequencerTest, RefusalsSendNoClearingNoJobAndNoStart) {
  struct Case {
    const char* name;
    std::function<void()> setUp;
    QString message;  // section/key looked up below
    bool jobWritten = false;
  };
  const Case cases[] = {
      {"no link", [] { ClosePort(); }, Tr("Control", "ploterBrakLacznosci")},
      {"wire broken, Cancel",
       [this] {
         sim.With([](sim::Controller& c) { c.SetWireBroken(true); });
         messages.answers = {ModalResult::Cancel};
       },
       Tr("Control", "zerwanyDrut")},
      {"larger than the machine's working area",
       [this] {
         sim.With([](sim::Controller& c) { c.SetWorkingArea(1000, 600, 360); });
         projects.back()->Width = 40040;  // 1001 mm
       },
       Tr("Main_window", "projektZaDuzy")},
      {"too large after scaling",
       [this] {
         Dlgkonfig().skala.SetValue(1000);
         projects.back()->Height = 9700;  // 242.5 mm, 2425 mm scaled
       },
       Tr("Main_window", "projektZaDuzy")},
      {"rotary cutting on a machine that is not homed",
       [this] {
         Dlgkonfig().Mode.SetItemIndex(1);
         sim.With([](sim::Controller& c) { c.SetHomed(false); });
       },
       Tr("Control", "wykonajBazowanie")},
      {"the job file cannot be written", [this] { ExeDir = dir.path() + "/missing/"; },
       Tr("Main_window", "bladZapisuZbioru")},
      {"the cutting path does not reach every figure",
       [this] { projects.back()->Figures[0]->Unlinked = true; },
       Tr("Project_window", "sciezkaNiepelna") + "0"},
      {"a job is running",
       [this] {
         sim.With([](sim::Controller& c) {
           c.SetSpeedUp(1);
           const auto now = sim::Controller::Clock::now();
           for (int i = 0; i < 200; ++i) {
             c.Receive('p', now);
             c.Receive(250, now);
           }
           c.Receive('G', now);
         });
       },
       Tr("Main_window", "ploterPracuje")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetDlgkonfig();
    ResetPloter();
    ExeDir = dir.path() + "/";
    if (!PortIsOpen()) {
      ASSERT_TRUE(OpenPortIndex(0));
    }
    sim.With([](sim::Controller& ctl) {
      ctl.SetWireBroken(false);
      ctl.SetHomed(true);
      ctl.SetWorkingArea(4800, 2400, 360);
      ctl.Receive('Q', sim::Controller::Clock::now());
      ctl.Receive('C', sim::Controller::Clock::now());
    });
    projects.clear();
    AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    QFile::remove(Ttransmisja::JobFilePath());
    messages.requests.clear();
    jobs.clear();
    c.setUp();
    ClearCommands();
    EXPECT_FALSE(CutSequencer().Start1Click());
    const QStringList texts = MessageKeys();
    EXPECT_TRUE(texts.contains(c.message) ||
                (!texts.isEmpty() && texts.back().startsWith(c.message)))
        << texts.join('\n').toStdString();
    const QStringList cmds = Cmds();
    EXPECT_EQ(Count(cmds, "Q") + Count(cmds, "C") + Count(cmds, "G"), 0)
        << cmds.join(", ").toStdString();
    EXPECT_FALSE(JobFileWritten());
    EXPECT_TRUE(jobs.empty());
    // A relay the wire check switched on is off again.
    EXPECT_FALSE(sim.With([](sim::Controller& ctl) { return ctl.Relay(1); }));
  }
}

TEST_F(SequencerTest, LineLostAtTheClearingOrAtTheStartIsReportedOnceAndPollingResumes) {
  struct Case {
    const char* name;
    bool atClearing;  // else at the final "G"
  };
  for (const Case& c : {Case{"clearing", true}, Case{"go", false}}) {
    SCOPED_TRACE(c.name);
    // A fresh line for each case: the hung-up one stays closed.
    ResetSerial();
    ResetPloter();
    ResetTster();
    sim.Stop();
    ASSERT_TRUE(sim.Start());
    qputenv("VM_COM1", sim.SlavePath().toLocal8Bit());
    sim.With([](sim::Controller& ctl) {
      ctl.SetSpeedUp(1000);
      ctl.SetHomed(true);
      ctl.SetPosition(10000, 10000, 0);
    });
    ASSERT_TRUE(OpenPortIndex(0));
    projects.clear();
    captions.clear();
    jobs.clear();
    messages.requests.clear();
    AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    TSequencerHooks& h = CutSequencer().hooks;
    // The wait's probe is made right after "Q": the line dies at the first "C"
    // (the status query of the wait still answered).
    h.MakeAbortProbe = [this, &c]() -> std::unique_ptr<AbortProbe> {
      if (c.atClearing) sim.HangUpAfterBytes(2);
      return nullptr;
    };
    // After the job: wire check (8 bytes), position and status (2), then "G".
    SetTransmissionShowHandler([this, &c](Ttransmisja& t) {
      captions << t.Caption;
      const ModalResult r = t.RunModal();
      if (!c.atClearing) sim.HangUpAfterBytes(11);
      return r;
    });
    ClearCommands();
    EXPECT_FALSE(CutSequencer().Start1Click());
    // The transmission window found the lost line after the clearing; nothing
    // of the job went out.
    EXPECT_EQ(captions.size(), 1);
    EXPECT_EQ(MessageKeys(), QStringList{Tr("Control", "ploterBrakLacznosci")});
    EXPECT_EQ(Count(Cmds(), "G"), c.atClearing ? 0 : 1);
    if (c.atClearing) {
      EXPECT_TRUE(JobBuffer().empty());
    }
    EXPECT_TRUE(ster().Polling());
  }
}

TEST_F(SequencerTest, PlainCutRefusedWhenTheProjectDoesNotFitAroundTheWire) {
  // The wire 10 mm from the left end; one open figure cut towards smaller X
  // enters at its right end, 40 mm from the project's left edge.
  sim.With([](sim::Controller& c) { c.SetPosition(1000, 1000, 0); });
  TMDIChild& w = AddProject({{{0, 800}, {800, 0}, {1600, 800}}});
  w.FirstFigure = 0;
  w.LoadFeedDirection = 255;
  EXPECT_FALSE(CutSequencer().tnij(0, 0));
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Main_window", "projektPozaObszaremMaszyny"));
  EXPECT_EQ(messages.requests[0].caption,
            Tr("Configuration", "CatDir.caption") + " : " + Tr("Configuration", "catdir.Item1"));
  EXPECT_TRUE(w.SingleOpenFigure);
  EXPECT_EQ(w.Figures[0]->EntryVertex, 2);
  EXPECT_EQ(w.EntryLeft, 1600);
  EXPECT_FALSE(JobFileWritten());
}

TEST_F(SequencerTest, TestModeWritesTheJobWithoutClearingOrTransmitting) {
  SetCommandLine({QStringLiteral("test"), QStringLiteral("corvanta")});
  ClosePort();
  AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
  CutSequencer().Start1Click();
  EXPECT_TRUE(JobFileWritten());
  EXPECT_GT(QFile(Ttransmisja::JobFilePath()).size(), 0);
  EXPECT_TRUE(jobs.empty());
  EXPECT_TRUE(sim.Received().isEmpty());
  EXPECT_TRUE(startFromBuffer);
}

TEST_F(SequencerTest, OutlineQuestionOnlyForAnAddedFrameAndCancelWritesNoJob) {
  SetCommandLine({QStringLiteral("test")});
  ClosePort();
  struct Case {
    bool frameAdded;
    ModalResult answer;  // None: no question expected
    bool cutFrame;
    bool written;
  };
  const Case cases[] = {
      {true, ModalResult::Yes, true, true},
      {true, ModalResult::No, false, true},
      {true, ModalResult::Cancel, false, false},
      {false, ModalResult::None, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.answer));
    projects.clear();
    messages.requests.clear();
    QFile::remove(Ttransmisja::JobFilePath());
    TMDIChild& w = AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    w.HasFrame = true;
    w.FrameAdded = c.frameAdded;
    w.CutFrame = !c.cutFrame;
    if (c.answer != ModalResult::None) messages.answers = {c.answer};
    CutSequencer().Start1Click();
    const bool asked = MessageKeys().contains(Tr("Main_window", "czyRysowacObrys"));
    EXPECT_EQ(asked, c.answer != ModalResult::None);
    if (c.answer != ModalResult::Cancel) {
      EXPECT_EQ(w.CutFrame, c.cutFrame);
    }
    EXPECT_EQ(JobFileWritten(), c.written);
  }
}

TEST_F(SequencerTest, RotaryCutOnTheSpindleChecksTheWireSideOfTheAxisThenMovesToTheStart) {
  struct Case {
    int wireY;  // 1/100 mm; the axis lies at 730 mm
    bool started;
  };
  for (const Case& c : {Case{72996, true}, Case{72994, false}}) {
    SCOPED_TRACE(c.wireY);
    ResetPloter();
    projects.clear();
    ClearCommands();
    messages.requests.clear();
    Dlgkonfig().Mode.SetItemIndex(1);
    sim.With([&](sim::Controller& ctl) {
      ctl.Receive('C', sim::Controller::Clock::now());
      ctl.SetPosition(50000, c.wireY, 0);
    });
    // 100 mm high: the start lies the material's radius (250 mm) above the axis.
    TMDIChild& w = AddProject({Rect(0, 0, 4000, 4000)});
    w.HorizontalAxis = true;
    w.ProfileOnAxis = false;
    EXPECT_EQ(CutSequencer().Start1Click(), c.started);
    EXPECT_DOUBLE_EQ(RotaryStartY, 730 + 250);
    EXPECT_DOUBLE_EQ(RotaryEntryY, 730 + 100);
    EXPECT_EQ(outputModes.back(), 1);
    EXPECT_EQ(outputModes[outputModes.size() - 2], 31);
    const QStringList cmds = Cmds();
    if (c.started) {
      // To (Xwrzeciona 12 mm, 980 mm), then "G".
      const int move =
          IndexOf(cmds, QStringLiteral("A %1 %2 0").arg(1200 - 50000).arg(98000 - c.wireY));
      ASSERT_GE(move, 0) << cmds.join(", ").toStdString();
      EXPECT_EQ(cmds.back(), "G");
      EXPECT_TRUE(messages.requests.isEmpty());
    } else {
      EXPECT_EQ(messages.lastText(), Tr("Main_window", "ploterPonizejPunktuStart"));
      EXPECT_EQ(Count(cmds, "G"), 0);
    }
  }
}

TEST_F(SequencerTest, RotaryCutOnTheTurntableGoesUpThenAcrossToTheStartOrIsRefusedPastTheTable) {
  struct Case {
    double xstolika;
    bool started;
  };
  // The profile reaches 100 mm left of the axis; the material's radius is 50 mm.
  for (const Case& c : {Case{1000, true}, Case{50, false}}) {
    SCOPED_TRACE(c.xstolika);
    ResetPloter();
    projects.clear();
    messages.requests.clear();
    ResetDlgkonfig();
    Dlgkonfig().Mode.SetItemIndex(1);
    Dlgkonfig().Xstolika.SetValue(c.xstolika);
    Dlgkonfig().Ystolika.SetValue(200);
    Dlgkonfig().Srednicamaterialu.SetValue(100);
    sim.With([](sim::Controller& ctl) {
      ctl.Receive('C', sim::Controller::Clock::now());
      ctl.SetPosition(10000, 10000, 0);
    });
    TMDIChild& w = AddProject({Rect(-4000, 0, 0, 4000)});
    w.HorizontalAxis = false;
    ClearCommands();
    EXPECT_EQ(CutSequencer().Start1Click(), c.started);
    EXPECT_TRUE(RotaryOnTable);
    EXPECT_DOUBLE_EQ(RotaryStartY, 200);
    EXPECT_DOUBLE_EQ(RotaryStartX, c.xstolika - 100);
    EXPECT_DOUBLE_EQ(RotaryEntryX, c.xstolika - 100);
    const QStringList cmds = Cmds();
    if (c.started) {
      EXPECT_EQ(outputModes[outputModes.size() - 2], 311);
      const int f0 = IndexOf(cmds, "F 0", IndexOf(cmds, "C"));
      ASSERT_GT(f0, 0) << cmds.join(", ").toStdString();
      // Up to the table's height at the current X, then across to the start.
      EXPECT_EQ(cmds.filter(QRegularExpression("^A ")),
                (QStringList{"A 0 10000 0", "A 80000 0 0"}));
      EXPECT_GT(IndexOf(cmds, "A 0 10000 0"), f0);
      EXPECT_EQ(cmds.back(), "G");
      EXPECT_TRUE(messages.requests.isEmpty()) << MessageKeys().join('\n').toStdString();
    } else {
      EXPECT_EQ(messages.lastText(), Tr("Control", "projektZaDuzaWysokosc"));
      EXPECT_EQ(Count(cmds, "Q") + Count(cmds, "G"), 0);
    }
  }
}

TEST_F(SequencerTest, TurningMovesToTheFirstEntryAndStartsWithoutAWireCheckOrRamp) {
  struct Case {
    int stolik;
    double startX, startY;  // mm, written before the save
    QStringList moves;      // from the wire at (100 mm, 100 mm)
    int code;
  };
  // A 100 mm square whose first point lies at (20 mm, 50 mm); the material's
  // radius (50 mm) is smaller than the project.
  const Case cases[] = {
      // Turntable: up to y = 200 + 50 - 10, then across to 1000 - 100 - 5.
      {1, 895, 0, {"A 0 14000 0", "A 79500 0 0"}, 301},
      // Spindle: straight to (12 + 20 - 5, 730 + 100 - 10).
      {0, 0, 820, {"A -7300 72000 0"}, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stolik);
    ResetPloter();
    projects.clear();
    outputModes.clear();
    messages.requests.clear();
    ResetDlgkonfig();
    TDlgkonfig& k = Dlgkonfig();
    k.Mode.SetItemIndex(0);
    k.StolikSwitch.SetItemIndex(c.stolik);
    k.Srednicamaterialu.SetValue(100);
    k.Ystolika.SetValue(200);
    k.Xnarzedzia.SetValue(5);
    k.Ynarzedzia.SetValue(10);
    RotaryStartX = RotaryStartY = 0;
    sim.With([](sim::Controller& ctl) {
      ctl.Receive('C', sim::Controller::Clock::now());
      ctl.SetPosition(10000, 10000, 0);
    });
    AddProject({{{800, 2000}, {4800, 2000}, {4800, 6000}, {800, 6000}, {800, 2000}}});
    ClearCommands();
    ASSERT_TRUE(CutSequencer().Start1Click()) << MessageKeys().join('\n').toStdString();
    if (c.stolik == 1) {
      EXPECT_DOUBLE_EQ(RotaryStartX, c.startX);
      EXPECT_DOUBLE_EQ(RotaryEntryX, 1000 - 100 - 5);
    } else {
      EXPECT_DOUBLE_EQ(RotaryStartY, c.startY);
      EXPECT_DOUBLE_EQ(RotaryEntryY, 730 + 100 - 10);
    }
    EXPECT_EQ(outputModes, (std::vector<int>{c.code, 1}));
    const QStringList cmds = Cmds();
    // No wire check in turning: the relay is not switched before the job.
    EXPECT_FALSE(cmds.contains("R 1 1"));
    const int f0 = IndexOf(cmds, "F 0", IndexOf(cmds, "C"));
    ASSERT_GT(f0, 0) << cmds.join(", ").toStdString();
    EXPECT_EQ(cmds.filter(QRegularExpression("^A ")), c.moves) << cmds.join(", ").toStdString();
    EXPECT_GT(IndexOf(cmds, c.moves.front()), f0);
    EXPECT_EQ(cmds.back(), "G");
    EXPECT_EQ(Count(cmds, "G"), 1);
    EXPECT_TRUE(cmds.filter(QRegularExpression("^T ")).isEmpty());
    EXPECT_TRUE(messages.requests.isEmpty()) << MessageKeys().join('\n').toStdString();
  }
}

TEST_F(SequencerTest, SerialCutRunsPassesInPassOrderWithAlternatingDirectionAndOneG) {
  Dlgkonfig().Mode.SetItemIndex(3);
  Dlgkonfig().rgKatObrotu.SetItemIndex(0);
  Dlgkonfig().CzasRozgrzewania.SetValue(0);
  sim.With([](sim::Controller& c) { c.SetPosition(50000, 30000, 0); });
  // Window order 3, 0, 7; each an open line rising to the right.
  PlotState.PowerChannel = 0;  // no poll has read the machine's channel yet
  for (int pass : {3, 0, 7}) AddPrepared({{{0, 0}, {800, 400}, {1600, 0}}}, 3, pass);
  active = 1;
  ASSERT_TRUE(CutSequencer().Start1Click()) << MessageKeys().join('\n').toStdString();

  EXPECT_EQ(activated, (std::vector<int>{0, 3, 7}));
  EXPECT_EQ(captions, (QStringList{"Transmission (0)", "Transmission (3)", "Transmission (7)"}));
  // Directions 1, -1, 1: the middle pass runs towards smaller X.
  const auto rising = [](const TMDIChild& w) {
    const tfigura& f = *w.Figures[0];
    return f.Points.front().X < f.Points.back().X;
  };
  EXPECT_TRUE(rising(*projects[1]));
  EXPECT_FALSE(rising(*projects[0]));
  EXPECT_TRUE(rising(*projects[2]));

  // Cleared once, every pass appended in the buffer, one "G" at the end.
  const QStringList cmds = Cmds();
  EXPECT_EQ(Count(cmds, "Q"), 1);
  EXPECT_EQ(Count(cmds, "C"), 2);
  EXPECT_EQ(Count(cmds, "G"), 1);
  EXPECT_EQ(cmds.back(), "G");
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(JobBuffer(), sim::DecodeJob(jobs[0] + jobs[1] + jobs[2]).commands);
  // Before the first pass: travel speed, approach, heating, working speed,
  // entry into the material, heating off.
  const int c2 = IndexOf(cmds, "C", IndexOf(cmds, "C") + 1);
  const std::uint16_t period = FeedToPeriod(1000);
  const QString feed = QStringLiteral("%1 %2").arg(period & 0xFF).arg(period >> 8);
  const int v0 = IndexOf(cmds, "V 0 " + feed, c2);
  ASSERT_GT(v0, c2) << cmds.join(", ").toStdString();
  const int approach = int(cmds.indexOf(QRegularExpression("A .*"), v0));
  const int heatOn = int(cmds.indexOf(QRegularExpression("R 1 .*"), approach));
  const int v1 = IndexOf(cmds, "V 1 " + feed, heatOn);
  const int entry = int(cmds.indexOf(QRegularExpression("A .*"), v1));
  const int heatOff = int(cmds.indexOf(QRegularExpression("R 0 .*"), entry));
  EXPECT_GT(approach, v0);
  EXPECT_GT(heatOn, approach);
  EXPECT_GT(v1, heatOn);
  EXPECT_GT(entry, v1);
  EXPECT_GT(heatOff, entry);
  EXPECT_LT(heatOff, IndexOf(cmds, "H 0", entry));
}

TEST_F(SequencerTest, SerialCutStopsAtAPassThatIsNotTransmittedAndStartsNothing) {
  Dlgkonfig().Mode.SetItemIndex(3);
  Dlgkonfig().rgKatObrotu.SetItemIndex(1);
  Dlgkonfig().CzasRozgrzewania.SetValue(0);
  sim.With([](sim::Controller& c) { c.SetPosition(50000, 30000, 0); });
  for (int pass : {0, 1}) AddPrepared({Rect(0, 0, 1600, 1600)}, 3, pass);
  active = 0;
  SetSerialCutDialogHandler([](TfDlgSeryjne& d) { return d.btnZatwierdzClick(); });
  int shown = 0;
  SetTransmissionShowHandler(
      [&](Ttransmisja& t) { return ++shown == 2 ? ModalResult::Cancel : t.RunModal(); });
  EXPECT_FALSE(CutSequencer().Start1Click());
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(Count(Cmds(), "G"), 0);
  EXPECT_FALSE(SerialCutActive);
  // The dialog's default angles reached the windows: 180 / 2.
  EXPECT_DOUBLE_EQ(projects[0]->PassAngle, 90);
}

TEST_F(SequencerTest, StopPausesTheRunningJobAndContinueResumesIt) {
  Dlgkonfig().CzasRozgrzewania.SetValue(0);
  sim.With([](sim::Controller& c) { c.SetSpeedUp(5); });
  AddPrepared({Rect(0, 0, 4000, 4000)}, 2);
  ASSERT_TRUE(CutSequencer().Start1Click());
  ASSERT_TRUE(sim.With([](sim::Controller& c) { return c.JobRunning(); }));
  const int cursors = waitCursors;

  ClearCommands();
  CutSequencer().Wstrzymaj1Click();
  EXPECT_TRUE(Cmds().contains("Q"));
  const auto status = [&] {
    return sim.With([](sim::Controller& c) { return c.Status(sim::Controller::Clock::now()); });
  };
  EXPECT_EQ(status() & 0x28, 0x28);
  EXPECT_FALSE(status() & 0x02);

  ClearCommands();
  CutSequencer().Kontynuacja1Click();
  EXPECT_TRUE(Cmds().contains("K"));
  EXPECT_TRUE(status() & 0x02);
  EXPECT_EQ(waitCursors, cursors + 2);
  EXPECT_EQ(waitCursors, restoredCursors);
}

TEST_F(SequencerTest, JxMachineRampsTheHeatingItselfAndIsNotStartedOnABlownFuse) {
  for (const bool blown : {false, true}) {
    SCOPED_TRACE(blown);
    ResetPloter();
    projects.clear();
    messages.requests.clear();
    sim.With([&](sim::Controller& c) {
      c.Receive('C', sim::Controller::Clock::now());
      c.SetIdentity("Corvanta", "JX1200", "2.00");
      c.SetWireBroken(false);
      c.BreakWireAtPower(blown ? 15 : 0);
    });
    AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    ClearCommands();
    EXPECT_EQ(CutSequencer().Start1Click(), !blown);
    const QStringList cmds = Cmds();
    // No wire check on this family: the ramp on channel 1 comes after the job.
    EXPECT_FALSE(cmds.contains("R 1 1") && cmds.indexOf("R 1 1") < cmds.indexOf("Q"));
    EXPECT_GT(int(cmds.indexOf(QRegularExpression("T 1 .*"), int(cmds.indexOf("Q")))), 0);
    if (blown) {
      EXPECT_EQ(Count(cmds, "G"), 0);
      EXPECT_EQ(messages.lastText(), Tr("Control", "sprawdzBezpiecznik"));
      EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(1); }));
    } else {
      EXPECT_EQ(cmds.back(), "G");
      EXPECT_EQ(cmds[cmds.size() - 2], "R 1 1");
      EXPECT_TRUE(messages.requests.isEmpty());
    }
  }
}

TEST_F(SequencerTest, StartOnAHeldJobOnlyResumesItAndStartFromBufferRunsTheBufferAgain) {
  AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
  sim.With([](sim::Controller& c) {
    const auto now = sim::Controller::Clock::now();
    for (int b : {int('w'), int('p'), 250}) c.Receive(static_cast<std::uint8_t>(b), now);
    c.Receive('G', now);
    c.Advance(now + std::chrono::milliseconds(1));
  });
  ClearCommands();
  EXPECT_FALSE(CutSequencer().Start1Click());
  const QStringList cmds = Cmds();
  EXPECT_EQ(cmds.back(), "G");
  EXPECT_EQ(Count(cmds, "G") + Count(cmds, "Q") + Count(cmds, "C"), 1);
  EXPECT_TRUE(jobs.empty());
  EXPECT_FALSE(JobFileWritten());

  sim.With([](sim::Controller& c) { c.Receive('Q', sim::Controller::Clock::now()); });
  ClearCommands();
  CutSequencer().Startzbufora1Click();
  EXPECT_EQ(Cmds(), (QStringList{"X", "G"}));
}

// A serial series of two passes to be repeated three times 10 mm lower,
// started on a machine that stands at its start point; the job then runs at
// `speedUp`.
class SerialSeriesTest : public SequencerTest {
 protected:
  void SetUp() override {
    SequencerTest::SetUp();
    TDlgkonfig& k = Dlgkonfig();
    k.Mode.SetItemIndex(3);
    k.rgKatObrotu.SetItemIndex(1);
    k.CzasRozgrzewania.SetValue(0);
    k.Srednicamaterialu.SetValue(0);
    k.Xstolika.SetValue(1000);
    k.Ystolika.SetValue(200);
    sim.With([](sim::Controller& c) { c.SetPosition(98000, 20000, 0); });
    for (int pass : {0, 1}) AddPrepared({Rect(0, 0, 1600, 1600)}, 3, pass);
    active = 0;
    SetSerialCutDialogHandler([](TfDlgSeryjne& d) {
      d.felloscPowtorzenSer.SetValue(3);
      d.feuY_Przesuniecie.SetValue(10);
      return d.btnZatwierdzClick();
    });
  }
  void StartSeries(double speedUp) {
    SetTransmissionShowHandler([this, speedUp](Ttransmisja& t) {
      captions << t.Caption;
      const ModalResult r = t.RunModal();
      if (captions.size() == 2) sim.With([&](sim::Controller& c) { c.SetSpeedUp(speedUp); });
      return r;
    });
    ASSERT_TRUE(CutSequencer().Start1Click()) << MessageKeys().join('\n').toStdString();
    ASSERT_TRUE(SerialCutActive);
    ASSERT_EQ(SerialPassesLeft, 3);
    ASSERT_EQ(Cmds().back(), "G");
    // The poll sees the series run.
    ster().Timer1Timer();
    ASSERT_TRUE(sim.With([](sim::Controller& c) { return c.JobRunning(); }));
  }
  // Polls as the manual control window does, a few times.
  void Poll(int ticks = 3) {
    for (int i = 0; i < ticks; ++i) ster().Timer1Timer();
  }
  static int MovesAndGos(const QStringList& cmds) {
    return int(cmds.filter(QRegularExpression("^A ")).size()) + Count(cmds, "G");
  }
};

TEST_F(SerialSeriesTest, StopDuringARepeatedSeriesEndsItWithNoFurtherMoveOrGo) {
  StartSeries(1);
  ClearCommands();
  CutSequencer().Wstrzymaj1Click();
  EXPECT_FALSE(SerialCutActive);
  Poll();
  const QStringList cmds = Cmds();
  EXPECT_TRUE(cmds.contains("Q"));
  EXPECT_EQ(MovesAndGos(cmds), 0) << cmds.join(", ").toStdString();
  EXPECT_EQ(SerialPassesLeft, 3);
}

TEST_F(SerialSeriesTest, ABrokenWireEndsTheSeriesWithNoFurtherMoveOrGo) {
  StartSeries(10);
  // The wire breaks at the job's last command: the controller stops it.
  sim.With([](sim::Controller& c) {
    c.BreakWireAtJobCommand(static_cast<int>(c.JobBuffer().size()) - 1);
  });
  ASSERT_TRUE(
      WaitFor([&] { return !sim.With([](sim::Controller& c) { return c.JobRunning(); }); }));
  ClearCommands();
  Poll();
  const QStringList cmds = Cmds();
  EXPECT_FALSE(SerialCutActive);
  EXPECT_EQ(MovesAndGos(cmds), 0) << cmds.join(", ").toStdString();
  EXPECT_EQ(SerialPassesLeft, 3);
}

TEST_F(SerialSeriesTest, ANormalEndRunsTheSeriesAgainOneShiftLower) {
  StartSeries(10);
  ASSERT_TRUE(
      WaitFor([&] { return !sim.With([](sim::Controller& c) { return c.JobRunning(); }); }));
  ClearCommands();
  ster().Timer1Timer();
  const QStringList cmds = Cmds();
  EXPECT_EQ(SerialPassesLeft, 2);
  EXPECT_DOUBLE_EQ(RotaryStartY, 190);
  EXPECT_EQ(cmds.back(), "G");
  EXPECT_EQ(Count(cmds, "G"), 1);
  EXPECT_TRUE(SerialCutActive);
}

TEST_F(SerialSeriesTest, AbandonedSeriesClearsTheBufferAndStartsNothing) {
  // The wire is found broken before the second pass; the operator cancels.
  CutSequencer().hooks.Activate = [this](TMDIChild& p) {
    for (std::size_t i = 0; i < projects.size(); ++i)
      if (projects[i].get() == &p) active = int(i);
    if (p.PassNumber == 1) sim.With([](sim::Controller& c) { c.SetWireBroken(true); });
  };
  messages.answers = {ModalResult::Cancel};
  EXPECT_FALSE(CutSequencer().Start1Click());
  EXPECT_EQ(jobs.size(), 1u);
  const QStringList cmds = Cmds();
  // The first pass went into the buffer; the series ends with its clearing.
  EXPECT_EQ(cmds.back(), "C") << cmds.join(", ").toStdString();
  EXPECT_EQ(Count(cmds, "G"), 0);
  EXPECT_TRUE(JobBuffer().empty());
  EXPECT_FALSE(SerialCutActive);
  EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(1); }));
  EXPECT_TRUE(ster().Polling());
}

TEST_F(SerialSeriesTest, EntryRefusedOnALostStatusLeavesTheHeatingOff) {
  // The series as far as the entry into the material, with every answer:
  // the entry's move begins with a status query after "V" 1.
  SetTransmissionShowHandler([](Ttransmisja&) { return ModalResult::Cancel; });
  ASSERT_FALSE(CutSequencer().Start1Click());
  const QStringList dry = Cmds();
  const int entry = int(dry.indexOf(QRegularExpression("V 1 .*"))) + 1;
  ASSERT_GT(entry, 0) << dry.join(", ").toStdString();
  ASSERT_EQ(dry[entry], "X");
  // Heated in the controller's own channel, before the entry.
  EXPECT_EQ(dry.mid(0, entry).filter(QRegularExpression("^R 1 ")), QStringList{"R 1 1"});

  // The reply to that status query is lost once: the entry is refused.
  ResetPloter();
  ReadStatus();
  messages.requests.clear();
  sim.With([](sim::Controller& c) {
    c.Receive('C', sim::Controller::Clock::now());
    c.SetPosition(98000, 20000, 0);
  });
  ClearCommands();
  sim.SilenceAfterCommands(entry, 1);
  EXPECT_FALSE(CutSequencer().Start1Click());
  const QStringList cmds = Cmds();
  EXPECT_EQ(Cmds().mid(0, entry), dry.mid(0, entry));
  EXPECT_TRUE(MessageKeys().contains(Tr("Control", "ploterBrakLacznosci")));
  // The heating that went on for the entry is off again; nothing started.
  // (The controller handles the last command on its own thread: waited for.)
  EXPECT_TRUE(test::WaitFor(
      [&] { return !sim.With([](sim::Controller& c) { return c.Relay(1) || c.Relay(2); }); }));
  EXPECT_EQ(Count(cmds, "G"), 0);
  EXPECT_TRUE(cmds.filter(QRegularExpression("^R 1 ")).size() == 1);
  EXPECT_FALSE(SerialCutActive);
}

TEST_F(SequencerTest, TestModeSendsNothingToAConnectedMachineAfterTheJobFile) {
  SetCommandLine({QStringLiteral("test")});
  struct Case {
    const char* name;
    int mode, stolik;
  };
  for (const Case& c : {Case{"plain cutting", 2, 0}, Case{"turning on the spindle", 0, 0},
                        Case{"turning on the turntable", 0, 1}, Case{"rotary cutting", 1, 0}}) {
    SCOPED_TRACE(c.name);
    projects.clear();
    messages.requests.clear();
    QFile::remove(Ttransmisja::JobFilePath());
    Dlgkonfig().Mode.SetItemIndex(c.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(c.stolik);
    if (c.mode == 2) {
      AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    } else {
      AddProject({Rect(-4000, 0, 0, 4000)}).HorizontalAxis = false;
    }
    qsizetype atSave = -1;
    CutSequencer().hooks.SetJobOutputMode = [&](int code) {
      outputMode = code;
      // The main window's code is restored once the job file is written.
      if (code == 1) atSave = sim.Received().size();
    };
    sim.ClearReceived();
    ClearCommands();
    EXPECT_TRUE(CutSequencer().Start1Click()) << MessageKeys().join('\n').toStdString();
    EXPECT_TRUE(JobFileWritten());
    EXPECT_GE(atSave, 0);
    EXPECT_EQ(sim.Received().size(), atSave) << Cmds().join(", ").toStdString();
    EXPECT_TRUE(jobs.empty());
    const QStringList cmds = Cmds();
    for (const char* c : {"Q", "C", "G", "R 1 1"}) EXPECT_FALSE(cmds.contains(c)) << c;
    EXPECT_TRUE(cmds.filter(QRegularExpression("^A ")).isEmpty());
  }
}

TEST_F(SequencerTest, TestModeSerialCutWritesEveryPassAndMovesNothing) {
  SetCommandLine({QStringLiteral("test")});
  Dlgkonfig().Mode.SetItemIndex(3);
  Dlgkonfig().rgKatObrotu.SetItemIndex(0);
  for (int pass : {1, 0}) AddPrepared({Rect(0, 0, 1600, 1600)}, 3, pass);
  sim.ClearReceived();
  ClearCommands();
  EXPECT_TRUE(CutSequencer().Start1Click()) << MessageKeys().join('\n').toStdString();
  EXPECT_EQ(activated, (std::vector<int>{0, 1}));
  EXPECT_EQ(std::count(outputModes.begin(), outputModes.end(), 33), 2);
  EXPECT_TRUE(jobs.empty());
  const QStringList cmds = Cmds();
  // Only the queries of the machine, never a command that acts.
  for (const QString& c : cmds) {
    EXPECT_TRUE(c == "X" || c.startsWith("H ") || c.startsWith("S ")) << c.toStdString();
  }
  EXPECT_FALSE(SerialCutActive);
}

TEST_F(SequencerTest, PollingIsOnAgainAfterEveryExitOfACut) {
  struct Case {
    const char* name;
    std::function<void()> setUp;
    ModalResult answer = ModalResult::None;  // to the question asked, if any
  };
  const Case cases[] = {
      {"project too large",
       [this] {
         sim.With([](sim::Controller& c) { c.SetWorkingArea(1000, 600, 360); });
         projects.back()->Width = 40040;
       }},
      {"wire check cancelled",
       [this] { sim.With([](sim::Controller& c) { c.SetWireBroken(true); }); },
       ModalResult::Cancel},
      {"outline question cancelled",
       [this] {
         projects.back()->HasFrame = true;
         projects.back()->FrameAdded = true;
       },
       ModalResult::Cancel},
      {"held job",
       [this] {
         sim.With([](sim::Controller& c) {
           const auto now = sim::Controller::Clock::now();
           for (int b : {int('w'), int('p'), 250}) c.Receive(static_cast<std::uint8_t>(b), now);
           c.Receive('G', now);
         });
       }},
      {"job file not written", [this] { ExeDir = dir.path() + "/missing/"; }},
      {"transmission cancelled",
       [] { SetTransmissionShowHandler([](Ttransmisja&) { return ModalResult::Cancel; }); }},
      {"link lost", [] { ClosePort(); }},
      {"started", [] {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetDlgkonfig();
    ResetPloter();
    ResetTster();
    ExeDir = dir.path() + "/";
    if (!PortIsOpen()) {
      ASSERT_TRUE(OpenPortIndex(0));
    }
    SetTransmissionShowHandler([this](Ttransmisja& t) {
      jobs.push_back(ReadAll(Ttransmisja::JobFilePath()));
      return t.RunModal();
    });
    sim.With([](sim::Controller& ctl) {
      const auto now = sim::Controller::Clock::now();
      ctl.Receive('Q', now);
      ctl.Receive('C', now);
      ctl.SetWireBroken(false);
      ctl.SetWorkingArea(4800, 2400, 360);
    });
    projects.clear();
    AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    c.setUp();
    std::vector<bool> pollingAtQuestion;
    const MessageHandler previous = SetMessageHandler([&](const MessageRequest& r) {
      if (!r.confirmation) return ModalResult::OK;
      pollingAtQuestion.push_back(ster().Polling());
      return c.answer;
    });
    ASSERT_FALSE(ster().Polling());
    CutSequencer().Start1Click();
    SetMessageHandler(previous);
    EXPECT_TRUE(ster().Polling());
    // No poll while the sequence asks.
    EXPECT_EQ(pollingAtQuestion, std::vector<bool>(pollingAtQuestion.size(), false));
    EXPECT_EQ(pollingAtQuestion.empty(), c.answer == ModalResult::None);
    ster().Timer1().stop();
  }
}

TEST_F(SequencerTest, JobFileOfFourMebibytesIsRefusedAndOneByteLessIsSent) {
  struct Case {
    qint64 size;
    bool sent;
  };
  for (const Case& c : {Case{kJobBufferBytes, false}, Case{kJobBufferBytes - 1, true}}) {
    SCOPED_TRACE(c.size);
    ResetPloter();
    projects.clear();
    messages.requests.clear();
    AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
    // The job file as the saver left it, made exactly this long.
    CutSequencer().hooks.SetJobOutputMode = [&](int code) {
      outputMode = code;
      if (code == 1) ASSERT_TRUE(QFile::resize(Ttransmisja::JobFilePath(), c.size));
    };
    std::vector<qint64> sent;
    SetTransmissionShowHandler([&](Ttransmisja&) {
      sent.push_back(QFileInfo(Ttransmisja::JobFilePath()).size());
      return ModalResult::OK;
    });
    ClearCommands();
    EXPECT_EQ(CutSequencer().Start1Click(), c.sent) << MessageKeys().join('\n').toStdString();
    const QStringList cmds = Cmds();
    if (c.sent) {
      EXPECT_EQ(sent, std::vector<qint64>{c.size});
      EXPECT_TRUE(messages.requests.isEmpty());
    } else {
      EXPECT_TRUE(sent.empty());
      EXPECT_EQ(MessageKeys(), QStringList{Tr("Main_window", "ploterPrzekroczonyBufor")});
      EXPECT_EQ(Count(cmds, "Q") + Count(cmds, "C") + Count(cmds, "G"), 0);
    }
  }
}

TEST_F(SequencerTest, WireCheckAsksAgainOnOkAndRetryUntilTheWireIsWhole) {
  sim.With([](sim::Controller& c) { c.SetWireBroken(true); });
  AddPrepared({Rect(0, 0, 1600, 1600)}, 2);
  std::vector<ModalResult> asked;
  const MessageHandler previous = SetMessageHandler([&](const MessageRequest& r) {
    if (!r.confirmation) return ModalResult::OK;
    EXPECT_EQ(r.text, Tr("Control", "zerwanyDrut"));
    const ModalResult answer = asked.empty() ? ModalResult::OK : ModalResult::Retry;
    asked.push_back(answer);
    // Mended before the operator's second answer.
    if (answer == ModalResult::Retry) sim.With([](sim::Controller& c) { c.SetWireBroken(false); });
    return answer;
  });
  ClearCommands();
  const bool started = CutSequencer().Start1Click();
  SetMessageHandler(previous);
  EXPECT_TRUE(started);
  EXPECT_EQ(asked, (std::vector<ModalResult>{ModalResult::OK, ModalResult::Retry}));
  const QStringList cmds = Cmds();
  // Three tests before the job, one after it; the relay is off after each.
  const int q = IndexOf(cmds, "Q");
  EXPECT_EQ(Count(cmds.mid(0, q), "R 1 1"), 3);
  EXPECT_EQ(Count(cmds.mid(0, q), "R 0 1"), 3);
  EXPECT_EQ(Count(cmds.mid(q), "R 1 1"), 1);
  EXPECT_EQ(cmds.back(), "G");
}

TEST_F(SequencerTest, SizeCheckAcceptsAProjectExactlyAsLargeAsTheWorkingArea) {
  // Test mode: the machine's working area is read, nothing is sent after the
  // job file; turning on the spindle needs no placement around the wire.
  SetCommandLine({QStringLiteral("test")});
  Dlgkonfig().Mode.SetItemIndex(0);
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  sim.With([](sim::Controller& c) { c.SetWorkingArea(1000, 600, 360); });
  struct Case {
    int width, height;  // plotter units: 40000 = 1000 mm, 24000 = 600 mm
    bool accepted;
  };
  const Case cases[] = {
      {40000, 4000, true}, {40001, 4000, false}, {4000, 24000, true}, {4000, 24001, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    projects.clear();
    messages.requests.clear();
    QFile::remove(Ttransmisja::JobFilePath());
    AddProject({Rect(0, 0, c.width, c.height)});
    EXPECT_EQ(CutSequencer().Start1Click(), c.accepted);
    EXPECT_EQ(JobFileWritten(), c.accepted);
    EXPECT_EQ(MessageKeys().contains(Tr("Main_window", "projektZaDuzy")), !c.accepted);
  }
}

}  // namespace
}  // namespace vm::test
