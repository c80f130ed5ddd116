// The serial-cut generator from a 3D model: the model is turned about its
// vertical axis in N equal steps over half a revolution; every step is
// rasterised into the silhouette grid on a worker thread, its outline traced
// into a figure and placed in a new project window whose pass number is the
// step, so that serial cutting cuts the windows one after another.
//
// TfGenSer holds the dialog's controls, its state and its handlers; the
// dialog widget shows the controls, hosts the viewer and forwards the events.
// What the generator needs from the windows around it comes through hooks.
#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "model3d/outline_trace.h"
#include "model3d/rasterise_thread.h"
#include "model3d/raw_reader.h"
#include "project/generated_project.h"
#include "shell/float_edit.h"
#include "shell/konfig_controls.h"

namespace vm {

class TRAWview;
class TMDIChild;

// The generator's choice that the serial job ends by cutting the model off its
// base; read for the serial-cutting job.
extern bool ModelCutOffAtEnd;
// Puts ModelCutOffAtEnd back to false.
void ResetGeneratorGlobals();

// ---- The step plan ----

// Degrees the model turns between two steps: 180 / N.
double AngleStep(double steps);
// The status text of a step's angle: "[" angle with one decimal " st]".
QString AngleStatusText(double angle);
// A step window's caption: the model's file name without folder and extension,
// then " [" angle in general format " st]".
QString StepCaption(const QString& modelFile, double angle);

// What the open dialog for a model file is given.
struct TModelFileRequest {
  QString Title;
  QString Filter;  // "text (*.raw)|*.raw|text (*.*)|*.*"
  QString DefaultExt;
  QString InitialDir;
};

// Services of the windows around the generator. Empty hooks do nothing.
struct TGenSerHooks {
  TGeneratorWindows Windows;       // the step windows
  std::function<void()> CloseAll;  // the main window's close-all command
  std::function<void()> Tile;      // tile the main window's project windows
  std::function<void()> Close;     // close the dialog
  std::function<void()> Beep;      // the message beep
  std::function<void()> Changed;   // the state shown by the widget changed
  // Shows the open dialog; the chosen file, or empty when cancelled.
  std::function<QString(const TModelFileRequest&)> ChooseFile;
  // Shows the model-info dialog at the viewer's client origin.
  std::function<void()> ShowModelInfo;
  // How many project windows are open (none when empty).
  std::function<int()> ProjectWindowCount;
};

class TfGenSer {
 public:
  TfGenSer();
  ~TfGenSer();  // stops and waits for a worker still running
  TfGenSer(const TfGenSer&) = delete;
  TfGenSer& operator=(const TfGenSer&) = delete;

  // ---- Controls ----
  QString Caption;
  TLabel gbModel3D{QStringLiteral("gbModel3D"), QStringLiteral("TTntGroupBox")};
  TLabel lPlik{QStringLiteral("lPlik")};
  TLabel ePlik{QStringLiteral("ePlik"), QStringLiteral("TTntEdit")};  // caption = text
  TLabel btnPlikRaw{QStringLiteral("btnPlikRaw"), QStringLiteral("TTntBitBtn")};
  TLabel btnModelInfo{QStringLiteral("btnModelInfo"), QStringLiteral("TTntBitBtn")};
  TLabel lIloscObrotow{QStringLiteral("lIloscObrotow")};
  TFloatEdit feIloscObrotow{QStringLiteral("feIloscObrotow")};
  TTntCheckBox cbOdcinajPoZakonczeniu{QStringLiteral("cbOdcinajPoZakonczeniu"), true};
  TTntCheckBox cbZamkniOknoAut{QStringLiteral("cbZamkniOknoAut"), true};
  TTntCheckBox cbZostawZamknieteFig{QStringLiteral("cbZostawZamknieteFig"), false};
  TLabel btnAnuluj{QStringLiteral("btnAnuluj"), QStringLiteral("TTntButton")};
  TLabel btnGeneruj{QStringLiteral("btnGeneruj"), QStringLiteral("TTntButton")};
  std::array<QString, 3> StatusPanels;  // 0 status, 1 current angle
  // The progress bar inside status panel 0.
  bool ProgressShown = false;
  std::int32_t ProgressMax = 0;
  std::int32_t ProgressPosition = 0;

  // The viewer the generator shows the model in (not owned; may be null).
  TRAWview* View = nullptr;
  TGenSerHooks hooks;

  // ---- State ----
  double AngleStepDeg = 0;       // degrees between steps
  std::int32_t StepCounter = 1;  // the step to build next, 1-based
  bool Running = false;
  TMDIChild* StepWindow = nullptr;  // the project window of the current step
  TOutlineTracer Tracer;

  // Workers still alive (they delete themselves once their completion ran).
  TRAWodczytWatek* Reader() const { return reader_.data(); }
  TRawDoPix* Rasteriser() const { return rasteriser_.data(); }

  // ---- Handlers ----
  // Translated captions and the viewer's set-up.
  void FormCreate();
  // Esc closes, F3 chooses a file, Ctrl+Shift+Alt+F12 shows or hides the
  // closed-figures option. True when the key was consumed (Esc, F3 and F12
  // with any modifiers).
  bool TntFormKeyDown(int key, bool ctrl, bool shift, bool alt);
  // Enter generates, Esc cancels. True when consumed.
  bool feIloscObrotowKeyDown(int key);
  // Whether the dialog may close now: not while a step is being rasterised
  // (the operator is told so).
  bool TntFormClose();
  void btnPlikRawClick();
  void btnModelInfoClick();
  void btnGenerujClick();
  void btnAnulujClick();

  // ---- Operations ----
  void WybierzPlikModelu(const QString& lastFolder);
  void CzytajModel(const QString& fileName);
  void UstawPrzyciski(bool on);
  void UstawKontrolki(bool on);
  // The widest turned silhouette (twice the turn radius) and the model's
  // height at the current scale against the working area.
  bool SprawdzRozmiar();
  // The number of steps N: the edit's value as a whole number in 1..180.
  double StepCount() const;
  void UtworzPasekPostepu();
  void UruchomKrok();
  // Traces the grid and builds the step's project window. False when the run
  // stopped (many-figures question cancelled, nothing traced, preparation
  // failed).
  bool UtworzOknoKroku();
  // Completion of the reader and of a rasterising step, on the GUI thread.
  void ZakonczWatekCzytaniaRAW(TRAWodczytWatek* worker);
  void ZakonczWatekRawDoPix(TRawDoPix* worker);

 private:
  // Stops the rasterising worker and waits until its body has ended; its
  // completion will not run.
  void StopRasteriser();
  // A stopped run: windows closed, counters back to the first step.
  void AbandonRun();
  // No model any more: triangles, extents and file name cleared, the viewer
  // shows nothing, Generate and model info off.
  void ForgetModel();
  // Whether a model has been read and is ready to generate from.
  bool ModelLoaded() const;
  void Notify();

  QPointer<TRAWodczytWatek> reader_;
  QPointer<TRawDoPix> rasteriser_;
};

}  // namespace vm
