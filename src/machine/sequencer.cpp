#include "machine/sequencer.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/job_writer.h"
#include "drawing/matma.h"
#include "drawing/move_encoding.h"
#include "drawing/rounding.h"
#include "machine/axis_setup.h"
#include "machine/job_settings.h"
#include "machine/machine_globals.h"
#include "machine/manual_control.h"
#include "machine/ploter.h"
#include "machine/serial_cut_dialog.h"
#include "machine/transmit.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/options.h"

namespace vm {

namespace {

void WaitMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// "C" and "G" go out without the command layer's link message.
void SilentCommand(const char* text) {
  SendCommandSilently(text);
  ReadAck();
}

bool Fail(const char* section, const char* key, const QString& caption = QString()) {
  ShowMessageBox(Tr(section, key), true, caption);
  return false;
}

bool LinkLost() { return Fail("Control", "ploterBrakLacznosci"); }

// The speed command "V" slot + the step period of a feed in mm/min.
void SetSlotFeed(int slot, double feed) {
  QByteArray word;
  WordToChars(FeedToPeriod(static_cast<std::uint16_t>(
                  std::clamp(Round(feed * Machine.SpeedFactor), 0, 0xFFFF))),
              word);
  Command(Bytes({'V', slot}) + word);
}

// The scaled box of a project lies within the working area. A box too large
// even for the arithmetic is larger than any working area.
bool FitsWorkingArea(const TMDIChild& w) {
  try {
    return ScaledMm(w.Width) <= WorkingAreaLimits.X && ScaledMm(w.Height) <= WorkingAreaLimits.Y;
  } catch (const RangeError&) {
    return false;
  }
}

// Restores the main window's output code when a save ends, however it ends.
class TOutputModeScope {
 public:
  TOutputModeScope(const TSequencerHooks& hooks, int code) : hooks_(hooks) {
    if (hooks_.JobOutputMode) previous_ = hooks_.JobOutputMode();
    if (hooks_.SetJobOutputMode) hooks_.SetJobOutputMode(code);
  }
  ~TOutputModeScope() {
    if (hooks_.SetJobOutputMode) hooks_.SetJobOutputMode(previous_);
  }
  TOutputModeScope(const TOutputModeScope&) = delete;
  TOutputModeScope& operator=(const TOutputModeScope&) = delete;

 private:
  const TSequencerHooks& hooks_;
  int previous_ = JobPlainCutting;
};

}  // namespace

bool IsTestMode() {
  const QStringList& args = CommandLineArguments();
  return !args.isEmpty() && args.front() == QLatin1String("test");
}

double ScaledMm(double plotterUnits) {
  return PlotterUnitsToMm(Round(plotterUnits * Dlgkonfig().skala.Value() / 100.0));
}

std::vector<TMDIChild*> TCutSequencer::ProjectList() const {
  return hooks.Projects ? hooks.Projects() : std::vector<TMDIChild*>{};
}

std::unique_ptr<AbortProbe> TCutSequencer::Probe() const {
  return hooks.MakeAbortProbe ? hooks.MakeAbortProbe() : nullptr;
}

bool TCutSequencer::WireCheck() {
  for (;;) {
    ReadStatus();
    Command(Bytes({'R', 1, 1}));
    WaitMs(kWireCheckPauseMs);
    ReadStatus();
    const bool lost = LinkFailed();
    const bool broken = PlotState.Status & kStatusWireBroken;
    Command(Bytes({'R', 0, 1}));
    // A status that never came says nothing about the wire.
    if (lost || LinkFailed()) return LinkLost();
    if (!broken) return true;
    const ModalResult answer = ConfirmDialog(Tr("Control", "zerwanyDrut"),
                                             MsgButton::OK | MsgButton::Cancel | MsgButton::Retry);
    // OK and Retry test again; Cancel, or a dialog closed otherwise, stops.
    if (answer != ModalResult::OK && answer != ModalResult::Retry) return false;
  }
}

bool TCutSequencer::ClearController() {
  Command("Q");
  WaitMs(kClearPauseMs);
  // The buffer is cleared only on an idle machine; a wait given up by the
  // operator, its time-out or a lost link ends the sequence.
  const std::unique_ptr<AbortProbe> probe = Probe();
  if (!WaitWhileBusy(probe.get())) return false;
  SilentCommand("C");
  WaitMs(kClearPauseMs);
  SilentCommand("C");
  WaitMs(kClearPauseMs);
  // "C" goes out without the link message: a line lost here is found and
  // reported by the next exchange (the transmission window's status query, or
  // the move to the start of a series), which then stops the sequence.
  return true;
}

bool TCutSequencer::PlacementFits(TMDIChild& w) {
  if (w.FirstFigure < 0 || w.FirstFigure >= w.FigureCount()) {
    return Fail("Project_window", "zbiorPusty");
  }
  tfigura& entry = *w.Figures[static_cast<std::size_t>(w.FirstFigure)];
  if (entry.Points.empty()) return Fail("Project_window", "zbiorPusty");
  w.SingleOpenFigure = w.FigureCount() == 1 && entry.Points.front() != entry.Points.back();
  QString direction;
  if (w.SingleOpenFigure) {
    const std::int32_t last = static_cast<std::int32_t>(entry.Points.size()) - 1;
    const bool rising = entry.Points.front().X < entry.Points.back().X;
    if (w.LoadFeedDirection == 255) {
      entry.EntryVertex = rising ? last : 0;
      direction = Tr("Configuration", "catdir.Item1");
    } else {
      entry.EntryVertex = rising ? 0 : last;
      direction = Tr("Configuration", "catdir.Item0");
    }
  }
  const std::size_t v = static_cast<std::size_t>(
      std::clamp<std::int64_t>(entry.EntryVertex, 0, std::int64_t(entry.Points.size()) - 1));
  const TPointI e = entry.Points[v];
  w.EntryLeft = e.X - w.MinX;
  w.EntryRight = w.MaxX - e.X;
  w.EntryTop = w.MaxY - e.Y;
  w.EntryBottom = e.Y - w.MinY;

  const double x = PlotState.X / 100.0;
  const double y = PlotState.Y / 100.0;
  bool fits = false;
  try {
    fits = ScaledMm(w.EntryRight) + x <= WorkingAreaLimits.X &&
           ScaledMm(w.EntryTop) + y <= WorkingAreaLimits.Y && ScaledMm(w.EntryLeft) <= x &&
           ScaledMm(w.EntryBottom) <= y;
  } catch (const RangeError&) {
    fits = false;
  }
  if (fits) return true;
  return Fail("Main_window", "projektPozaObszaremMaszyny",
              Tr("Configuration", "CatDir.caption") + QStringLiteral(" : ") + direction);
}

bool TCutSequencer::OutlineQuestion(TMDIChild& w) {
  if (!(w.HasFrame && w.FrameAdded)) {
    w.CutFrame = true;
    return true;
  }
  const ModalResult answer = ConfirmDialog(Tr("Main_window", "czyRysowacObrys"),
                                           MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
  if (answer == ModalResult::Yes) {
    w.CutFrame = true;
  } else if (answer == ModalResult::No) {
    w.CutFrame = false;
  } else {
    return false;
  }
  return true;
}

bool TCutSequencer::WriteJob(TMDIChild& w, int mode, int stolik) {
  const TDlgkonfig& k = Dlgkonfig();
  const double diameterHalf = k.Srednicamaterialu.Value() / 2;
  const QString file = Ttransmisja::JobFilePath();
  const std::int32_t last = w.FigureCount() - 1;
  const std::int32_t windows = static_cast<std::int32_t>(ProjectList().size());

  // The start point and the job code of the mode; the saver follows below.
  TJobOutputMode code = JobPlainCutting;
  double rotation = 0;
  if (mode == 0 && stolik == 0) {
    const double h = ScaledMm(w.Height);
    RotaryStartY = k.Ywrzeciona.Value() + std::max(h, diameterHalf) - k.Ynarzedzia.Value();
    RotaryEntryY = k.Ywrzeciona.Value() + h - k.Ynarzedzia.Value();
    code = JobTurningSpindle;
  } else if (mode == 0 && stolik == 1) {
    const double wd = ScaledMm(w.Width);
    RotaryStartX = k.Xstolika.Value() - std::max(wd, diameterHalf) - k.Xnarzedzia.Value();
    RotaryEntryX = k.Xstolika.Value() - wd - k.Xnarzedzia.Value();
    code = JobTurningTable;
  } else if (mode == 1 && w.HorizontalAxis) {
    RotaryOnTable = false;
    const double h = ScaledMm(w.Height);
    const double m = std::max(h, diameterHalf);
    const double axis = k.Ywrzeciona.Value();
    RotaryStartY = w.ProfileOnAxis ? axis - m : axis + m;
    RotaryEntryY = w.ProfileOnAxis ? axis - h : axis + h;
    if (RotaryStartY < 0 || RotaryEntryY < 0) {
      return Fail("Main_window", "projektZaDuzaWysokosc");
    }
    code = JobRotarySpindle;
  } else if (mode == 1) {
    RotaryOnTable = true;
    RotaryStartY = k.Ystolika.Value();
    const double e = -ScaledMm(w.MinX);
    RotaryStartX = k.Xstolika.Value() - std::max(e, diameterHalf);
    RotaryEntryX = k.Xstolika.Value() - e;
    if (RotaryStartX < 0 || RotaryEntryX < 0) return Fail("Control", "projektZaDuzaWysokosc");
    code = JobRotaryTable;
  } else if (mode == 3) {
    rotation = k.rgKatObrotu.ItemIndex() != 0 ? w.PassAngle / 360.0
                                              : 0.5 / std::max<std::int32_t>(windows, 1);
    w.CutFrame = true;
    code = JobSerialCutting;
  } else {
    // Plain cutting, also in turning without a spindle or a table.
    if (!OutlineQuestion(w)) return false;
    code = JobPlainCutting;
  }

  const bool cutOff = hooks.ModelCutOffAtEnd && hooks.ModelCutOffAtEnd();
  try {
    TOutputModeScope output(hooks, code);
    const JobSettings job = CurrentJobSettings(code, &w, windows, cutOff);
    w.SaveJob(code, file, 0, last, rotation, job);
  } catch (const MessageError& e) {
    // Refused with its own message (a path that does not reach every figure,
    // a job too large for the machine's buffer): nothing is sent.
    ShowMessageError(e);
    return false;
  } catch (const Error& e) {
    // A job file that was not written completely is never sent.
    ShowMessageError(
        MessageError("Main_window", "bladZapisuZbioru", QString::fromStdString(e.what())));
    return false;
  }
  if (QFileInfo(file).size() >= kJobBufferBytes) {
    return Fail("Main_window", "ploterPrzekroczonyBufor");
  }
  return true;
}

bool TCutSequencer::HeatAndGo(int channel) {
  if (Machine.FamilyJXFlag) {
    PowerRamp(channel, Round(Dlgkonfig().work_power.Value()));
    if (LinkFailed()) return LinkLost();
    // The ramp stops early at a blown fuse: the job is not started cold.
    if (PlotState.Status & kStatusWireBroken) {
      Command(Bytes({'R', 0, channel}));
      return Fail("Control", "sprawdzBezpiecznik");
    }
  }
  return SendGo();
}

bool TCutSequencer::SendGo() {
  SilentCommand("G");
  return !LinkFailed();
}

bool TCutSequencer::GoToStartAndRun(TMDIChild& w, int mode, int stolik) {
  const TDlgkonfig& k = Dlgkonfig();
  const auto readMachine = [] {
    ReadPosition();
    ReadStatus();
    return !LinkFailed();
  };
  // A move to the start that fails (the reason shown) leaves the job unstarted.
  const auto go = [](double x, double y) { return ster().gotopoint(true, 0, x, y, SavedZ); };

  if (mode == 1) {
    if (!readMachine()) return LinkLost();
    if (!w.HorizontalAxis) {
      Command(Bytes({'F', 0}));
      if (!go(PlotState.X / 100.0, RotaryStartY) || !go(RotaryStartX, RotaryStartY)) return false;
    } else {
      // In hundredths of a mm, as the machine reports the position.
      const double above = PlotState.Y - k.Ywrzeciona.Value() * 100.0;
      const double tolerance = kAxisSideTolerance * 100.0 + 1e-6;
      if (w.ProfileOnAxis && above > tolerance) {
        return Fail("Main_window", "ploterPowyzejPunktuStart");
      }
      if (!w.ProfileOnAxis && -above > tolerance) {
        return Fail("Main_window", "ploterPonizejPunktuStart");
      }
      Command(Bytes({'F', 0}));
      if (!go(k.Xwrzeciona.Value(), RotaryStartY)) return false;
    }
    return HeatAndGo(1);
  }
  if (mode == 2 || (mode == 0 && stolik == 2)) {
    if (!readMachine()) return LinkLost();
    return HeatAndGo(mode == 0 ? 3 : 1);
  }
  if (mode == 3) {
    // The series starts after the last pass.
    if (!readMachine()) return LinkLost();
    return true;
  }
  // Turning on the spindle or the turntable.
  if (!IsTestMode()) {
    if (!readMachine()) return LinkLost();
    Command(Bytes({'F', 0}));
  }
  const double d = w.DajPoz1szegoWjazduWmat();
  if (stolik == 1) {
    const double y = k.Ystolika.Value() + d - k.Ynarzedzia.Value();
    if (!go(PlotState.X / 100.0, y) || !go(RotaryStartX, y)) return false;
  } else {
    if (!go(k.Xwrzeciona.Value() + d - k.Xnarzedzia.Value(), RotaryStartY)) return false;
  }
  return SendGo();
}

bool TCutSequencer::Cut(TMDIChild& w) {
  const bool test = IsTestMode();
  const int mode = Dlgkonfig().Mode.ItemIndex();
  const int stolik = Dlgkonfig().StolikSwitch.ItemIndex();

  ReadStatus();
  if (!LinkFailed()) {
    ReadMachineInfo();
    SelectStepsPerTurn();
    SendAxisSetup();
  }
  if (!test) {
    if (LinkFailed()) return false;  // the command layer has reported it
    const std::uint16_t s = PlotState.Status;
    if ((s & kStatusJobRunning) && (s & kStatusHeld)) {
      // A held job resumes.
      SilentCommand("G");
      return false;
    }
    // A job running from the buffer is never cleared by a new start.
    if (s & kStatusJobRunning) return Fail("Main_window", "ploterPracuje");
    if (mode != 2 && !(s & kStatusHomed)) return Fail("Control", "wykonajBazowanie");
  }
  if (!FitsWorkingArea(w)) return Fail("Main_window", "projektZaDuzy");
  if (!test) ReadPosition();
  if (mode == 2 && !PlacementFits(w)) return false;

  const bool wireCheck = mode >= 1 && mode <= 3 && !Machine.FamilyJXFlag && !test;
  if (wireCheck && !WireCheck()) return false;

  TWaitCursor cursor;
  try {
    if (!WriteJob(w, mode, stolik)) return false;
  } catch (const RangeError&) {
    // A start point past the arithmetic's range: no machine reaches it.
    return Fail("Main_window", "projektZaDuzy");
  }
  const auto showStartFromBuffer = [this] {
    if (hooks.SetStartFromBufferVisible) {
      hooks.SetStartFromBufferVisible(HasSwitch(QStringLiteral("CORVANTA")));
    }
  };
  if (test) {
    // Without the machine the job file is all there is to do: nothing more
    // goes to a machine that may still be connected.
    showStartFromBuffer();
    return true;
  }
  if (mode != 3 && !ClearController()) return false;

  QString caption = Tr("Transmission", "caption");
  if (mode == 3) caption += QStringLiteral(" (") + QString::number(w.PassNumber) + ')';
  // The transmission window has shown why it did not end with OK.
  if (!TransmitJobFile(caption)) return false;
  showStartFromBuffer();
  if (wireCheck && !WireCheck()) return false;
  return GoToStartAndRun(w, mode, stolik);
}

TCutSequencer::TPollingPause::TPollingPause(bool resume) : resume_(resume) {
  ster().Timer1().stop();
}

TCutSequencer::TPollingPause::~TPollingPause() {
  if (resume_) ster().Timer1().start();
}

bool TCutSequencer::tnij(std::int32_t /*first*/, std::int32_t /*last*/) {
  TMDIChild* w = hooks.ActiveProject ? hooks.ActiveProject() : nullptr;
  if (w == nullptr) return false;
  // The manual control window's poll would interleave its queries with the
  // sequence's commands. It is on again at every exit, whatever stopped the
  // sequence; a pass of a serial series leaves that to the series.
  const TPollingPause polling(!inSeries_);
  return Cut(*w);
}

bool TCutSequencer::StartSerial(bool& begun) {
  begun = false;
  const TDlgkonfig& k = Dlgkonfig();
  const bool test = IsTestMode();
  // No poll between the series' commands; it is on again at every exit.
  const TPollingPause polling(true);
  ReadStatus();
  if (!test) {
    if (LinkFailed()) return false;
    if (PlotState.Status & kStatusJobRunning) return Fail("Main_window", "ploterPracuje");
    if (!(PlotState.Status & kStatusHomed)) return Fail("Control", "wykonajBazowanie");
  }

  std::vector<TMDIChild*> passes;
  for (TMDIChild* w : ProjectList()) {
    if (w->PassNumber >= 0 && w->PassNumber <= 9999) passes.push_back(w);
  }
  std::stable_sort(passes.begin(), passes.end(), [](const TMDIChild* a, const TMDIChild* b) {
    return a->PassNumber < b->PassNumber;
  });
  // Every pass must fit before the machine is moved and heated: a series that
  // is refused half way would otherwise run with passes missing.
  for (TMDIChild* w : passes) {
    if (!FitsWorkingArea(*w)) return Fail("Main_window", "projektZaDuzy");
  }

  if (k.rgKatObrotu.ItemIndex() == 1) {
    SerialCutActive = ShowSerialCutDialog(ProjectList()) == ModalResult::OK;
    if (!SerialCutActive) return false;
  } else {
    SerialPassesLeft = 0;
  }

  begun = true;
  TMDIChild* active = hooks.ActiveProject ? hooks.ActiveProject() : nullptr;
  if (active == nullptr || passes.empty()) return false;
  struct TSeriesScope {
    explicit TSeriesScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TSeriesScope() { flag_ = false; }
    bool& flag_;
  } series(inSeries_);

  if (test) {
    // Without the machine every pass's job file is written in turn and
    // nothing goes to the port: no clearing, no move, no heating, no "G".
    SerialCutActive = false;
    bool alternate = false;
    for (TMDIChild* w : passes) {
      if (hooks.Activate) hooks.Activate(*w);
      w->UstawKierunek(alternate ? -1 : 1);
      if (!tnij(0, 0)) return false;
      alternate = !alternate;
    }
    return true;
  }

  bool cleared = false;
  const auto abandon = [&cleared] {
    SerialCutActive = false;
    // The passes already transmitted must not stay in the buffer, where a
    // start from the buffer would run half a series.
    if (cleared) SilentCommand("C");
    return false;
  };
  cleared = true;
  if (!ClearController()) return abandon();

  RotaryOnTable = true;
  RotaryStartY = k.Ystolika.Value();
  double h = 0;
  try {
    h = PlotterUnitsToMm(Round(active->Width * k.skala.Value() / 100.0 / 2.0));
  } catch (const RangeError&) {
    Fail("Main_window", "projektZaDuzy");
    return abandon();
  }
  RotaryStartX = k.Xstolika.Value() - h;
  RotaryEntryX = RotaryStartX;
  const double approachX = k.Xstolika.Value() - std::max(h, k.Srednicamaterialu.Value() / 2);

  ReadPosition();
  SetSlotFeed(0, k.PrzeSpeed.Value());
  if (!ster().gotopoint(true, 0, approachX, RotaryStartY, SavedZ)) return abandon();

  ReadStatus();
  // The heating goes on in the channel the controller has chosen, not in
  // whatever channel was last read (none before the first poll).
  ReadPower();
  if (Machine.FamilyJXFlag) {
    PowerRamp(1, Round(k.work_power.Value()));
  } else {
    ToggleHeater();
  }
  WaitMs(Round(k.CzasRozgrzewania.Value()));

  ReadPosition();
  SetSlotFeed(1, k.szybkoscObrobki.Value());
  // The wire enters the material at working speed.
  const bool entered = ster().gotopoint(true, 1, RotaryStartX, RotaryStartY, SavedZ);
  // The heating goes off, whatever the status last read says: a toggle after
  // an entry refused on a failed status query would switch it on instead.
  Command(Bytes({'R', 0, PlotState.PowerChannel}));
  if (!entered) return abandon();

  bool alternate = false;
  for (TMDIChild* w : passes) {
    if (hooks.Activate) hooks.Activate(*w);
    w->UstawKierunek(alternate ? -1 : 1);
    // A pass that was not written or not transmitted stops the series: the
    // passes already in the buffer are not started without it.
    if (!tnij(0, 0)) return abandon();
    alternate = !alternate;
  }
  SilentCommand("G");
  // The poll repeats the series once it has seen it run and end normally.
  ster().SerialSeriesStarted();
  return !LinkFailed();
}

bool TCutSequencer::Start1Click() {
  const int mode = Dlgkonfig().Mode.ItemIndex();
  // A new start ends a serial series still waiting for its repetitions: the
  // poll never repeats a job it did not start as a series.
  SerialCutActive = false;
  bool started = false;
  if (mode == 3) {
    // The refusals before the series begins keep the direction.
    bool begun = false;
    started = StartSerial(begun);
    if (!begun) return false;
  } else {
    TMDIChild* w = hooks.ActiveProject ? hooks.ActiveProject() : nullptr;
    if (w == nullptr) return false;
    started = tnij(0, w->FigureCount() - 1);
  }
  if (Dlgkonfig().CatDir.ItemIndex() == 2) {
    if (TMDIChild* w = hooks.ActiveProject ? hooks.ActiveProject() : nullptr) {
      w->LoadFeedDirection = w->LoadFeedDirection == 1 ? 255 : 1;
    }
  }
  return started;
}

void TCutSequencer::Wstrzymaj1Click() {
  TWaitCursor cursor;
  ster().wstrzymaj();
}

void TCutSequencer::Kontynuacja1Click() {
  TWaitCursor cursor;
  ster().kontynuuj();
}

void TCutSequencer::Startzbufora1Click() {
  ReadStatus();
  if (LinkFailed()) return;
  SilentCommand("G");
}

namespace {
std::unique_ptr<TCutSequencer> g_sequencer;
}

TCutSequencer& CutSequencer() {
  if (!g_sequencer) g_sequencer = std::make_unique<TCutSequencer>();
  return *g_sequencer;
}

void ResetCutSequencer() { g_sequencer.reset(); }

}  // namespace vm
