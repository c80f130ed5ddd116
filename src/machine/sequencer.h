// The cut-job sequencer of the main window: turns the active project window
// into a running cut. It checks the link, the machine's identity and the
// project's size, checks the wire, has the project write the job file for the
// current work mode, clears the controller's buffer, streams the file through
// the transmission window, moves the wire to the first entry point, heats the
// wire and starts the machine. In serial cutting it does this for every project
// window in the order of their pass numbers and starts the whole series with
// one "G". Stop and Continue are handed to the manual control window.
//
// Everything of the main window it needs (the project windows, their focus,
// the output code, the Start-from-buffer item) comes
// through TSequencerHooks, so tests drive it against the controller emulator.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "machine/abort_probe.h"
#include "shell/messages.h"

namespace vm {

class TMDIChild;

// Wire position may stray this far (mm) to the wrong side of the spindle
// axis before a rotary cut on the spindle is refused.
inline constexpr double kAxisSideTolerance = 0.05;
// Pause of the wire check between switching the relay on and reading the status.
inline constexpr int kWireCheckPauseMs = 200;
// Pause after each of the buffer-clearing commands.
inline constexpr int kClearPauseMs = 10;

// The first command-line argument is exactly "test": cutting runs without the
// machine (the link and transmission steps are skipped).
bool IsTestMode();

// A length in plotter units scaled by the settings' `skala` and given in mm
// (the scaled length is rounded to whole plotter units first).
double ScaledMm(double plotterUnits);

struct TSequencerHooks {
  // The active project window, nullptr when none is open.
  std::function<TMDIChild*()> ActiveProject;
  // Every project window in window (creation) order.
  std::function<std::vector<TMDIChild*>()> Projects;
  // Focuses a project window: it becomes the active one.
  std::function<void(TMDIChild&)> Activate;
  // The main window's output target code of the next job.
  std::function<int()> JobOutputMode;
  std::function<void(int)> SetJobOutputMode;
  // Shows or hides the Start-from-buffer menu item.
  std::function<void(bool)> SetStartFromBufferVisible;
  // The serial-cut generator's choice to cut the model off after the last pass.
  std::function<bool()> ModelCutOffAtEnd;
  // The probe of the waits for an idle machine (a key or left click ends them).
  std::function<std::unique_ptr<AbortProbe>()> MakeAbortProbe;
};

class TCutSequencer {
 public:
  TSequencerHooks hooks;

  // One cut of the active project window. `first` and `last` are carried but
  // not used: every save covers all figures. True when the job was written,
  // transmitted (outside test mode) and, except in serial cutting, started;
  // false when the sequence stopped (the reason has been shown).
  bool tnij(std::int32_t first, std::int32_t last);

  // The Start command. True when a job or a serial series was started.
  bool Start1Click();
  // The Stop command: pauses the running job.
  void Wstrzymaj1Click();
  // The Continue command: resumes a held job or continues a stopped one.
  void Kontynuacja1Click();
  // Start from buffer: runs the job the controller holds again.
  void Startzbufora1Click();
  // Cut one layer, start from a layer: these commands do nothing.
  void Tnijwybran1Click() {}
  void Startodwybranej1Click() {}

 private:
  bool Cut(TMDIChild& w);
  bool WireCheck();
  bool ClearController();
  bool PlacementFits(TMDIChild& w);
  bool OutlineQuestion(TMDIChild& w);
  bool WriteJob(TMDIChild& w, int mode, int stolik);
  bool GoToStartAndRun(TMDIChild& w, int mode, int stolik);
  bool HeatAndGo(int channel);
  // "G" and its reply; false when the reply did not come.
  bool SendGo();
  // `begun`: the checks and the serial-cut dialog were passed.
  bool StartSerial(bool& begun);
  std::vector<TMDIChild*> ProjectList() const;
  std::unique_ptr<AbortProbe> Probe() const;

  // Stops the manual control window's poll for its lifetime; with `resume`
  // the poll is on again at its end.
  class TPollingPause {
   public:
    explicit TPollingPause(bool resume);
    ~TPollingPause();
    TPollingPause(const TPollingPause&) = delete;
    TPollingPause& operator=(const TPollingPause&) = delete;

   private:
    bool resume_;
  };

  bool inSeries_ = false;  // the passes of a serial series are being cut
};

// The one sequencer of the main window, and a fresh one (tests).
TCutSequencer& CutSequencer();
void ResetCutSequencer();

}  // namespace vm
