// The serial-cut generator's handlers: choosing and reading a model, the run
// of steps on the rasterising worker, tracing and building the step windows.
#include "model3d/generator.h"

#include <QDir>
#include <QFileInfo>
#include <Qt>
#include <algorithm>
#include <cmath>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "model3d/model_view.h"
#include "model3d/rasterise_thread.h"
#include "model3d/raw_reader.h"
#include "model3d/silhouette_grid.h"
#include "project/okno_plt.h"
#include "shell/fltedit_format.h"
#include "shell/global_record.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

bool ModelCutOffAtEnd = false;

void ResetGeneratorGlobals() { ModelCutOffAtEnd = false; }

// ---- The step plan ----

double AngleStep(double steps) { return 180.0 / steps; }

QString AngleStatusText(double angle) {
  return "[" + FormatFloat(angle, TFloatFormat::ffFixed, 8, 1, LocaleDecimalPoint()) + " st]";
}

QString StepCaption(const QString& modelFile, double angle) {
  // The name after the last folder separator of either kind, without the
  // part from its last dot on.
  const qsizetype slash = std::max(modelFile.lastIndexOf('/'), modelFile.lastIndexOf('\\'));
  QString name = modelFile.mid(slash + 1);
  const qsizetype dot = name.lastIndexOf('.');
  if (dot >= 0) name.truncate(dot);
  return name + " [" + FormatGeneral(angle, LocaleDecimalPoint()) + " st]";
}

// ---- The dialog ----

TfGenSer::TfGenSer() {
  Caption = QStringLiteral("Generator");
  lPlik.SetCaption(QStringLiteral("Plik"));
  lIloscObrotow.SetCaption(QStringLiteral("Ilo\u015B\u0107 krok\u00F3w"));
  btnAnuluj.SetCaption(QStringLiteral("Anuluj"));
  btnGeneruj.SetCaption(QStringLiteral("&Generuj"));
  btnGeneruj.SetEnabled(false);
  btnModelInfo.SetEnabled(false);
  cbZostawZamknieteFig.SetVisible(false);
  feIloscObrotow.SetMinValue(1);
  feIloscObrotow.SetMaxValue(180);
  feIloscObrotow.SetIncrement(1);
  feIloscObrotow.SetValue(18);
}

TfGenSer::~TfGenSer() {
  // A worker's completion must not reach a dialog that is gone, and the next
  // dialog must not find a worker still writing the model or the grid.
  StopRasteriser();
  if (TRAWodczytWatek* r = reader_.data()) {
    r->OnTerminate = nullptr;
    delete r;  // waits for the body to end
  }
}

void TfGenSer::Notify() {
  if (hooks.Changed) hooks.Changed();
}

void TfGenSer::FormCreate() {
  Caption = Tr("Main_window", "miGenSeryjnego3D.caption");
  lPlik.SetCaption(Tr("Main_window", "File1.Caption"));
  lIloscObrotow.SetCaption(Tr("Configuration", "Labelilkrok.caption"));
  cbOdcinajPoZakonczeniu.SetCaption(Tr("SerialCutFrom3D", "cbOdcinajPoZakonczeniu.caption"));
  cbOdcinajPoZakonczeniu.SetHint(Tr("SerialCutFrom3D", "cbOdcinajPoZakonczeniu.hint"));
  cbZamkniOknoAut.SetCaption(Tr("SerialCutFrom3D", "cbZamkniOknoAut.caption"));
  cbZostawZamknieteFig.SetCaption(Tr("SerialCutFrom3D", "cbZostawZamknieteFig.caption"));
  btnAnuluj.SetCaption(Tr("Configuration", "cancel.caption"));
  btnGeneruj.SetCaption(Tr("SerialCutFrom3D", "btnGeneruj.caption"));
  if (View != nullptr) {
    View->TrybPracy = TTrybPracy::tpPrzegladRAWtermSeryjne;
    View->UkladWsp = true;
    View->Model_KrokObrotu = 0.5;
    View->Model_KrokPrzesuwu = 0.01;
    View->Model_KrokSkali = 0.0001;
    View->Model_KrokSkaliRolka = 0.08;
    View->Model_Material = 1.0;
    View->Color = 0x000000;  // black
  }
  Notify();
}

bool TfGenSer::TntFormKeyDown(int key, bool ctrl, bool shift, bool alt) {
  switch (key) {
    case Qt::Key_Escape:
      if (hooks.Close) hooks.Close();
      return true;
    case Qt::Key_F3:
      btnPlikRawClick();
      return true;
    case Qt::Key_F12:
      if (ctrl && shift && alt) {
        cbZostawZamknieteFig.SetVisible(!cbZostawZamknieteFig.Visible());
        Notify();
      }
      return true;
    default:
      return false;
  }
}

bool TfGenSer::feIloscObrotowKeyDown(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    btnGenerujClick();
    return true;
  }
  if (key == Qt::Key_Escape) {
    btnAnulujClick();
    return true;
  }
  return false;
}

bool TfGenSer::TntFormClose() {
  if (rasteriser_) {
    ShowMessageBox(Tr("SerialCutFrom3D", "zakonczGenPlikowWy"), false);
    return false;
  }
  return true;
}

// ---- Choosing and reading a model ----

void TfGenSer::btnPlikRawClick() {
  // F3 and the double clicks come here too: while a worker runs the file
  // button is disabled, and a new model must not replace the one being read
  // or rasterised.
  if (!btnPlikRaw.Enabled() || reader_ || rasteriser_) return;
  ModelAngle = 0;
  WybierzPlikModelu(GlobalSettings().LastOpenDir);
}

void TfGenSer::WybierzPlikModelu(const QString& lastFolder) {
  TModelFileRequest r;
  r.Title = Tr("SerialCutFrom3D", "wybierzPlikModelu");
  r.DefaultExt = QStringLiteral("raw");
  r.Filter = Tr("SerialCutFrom3D", "plikRhino") + " (*." + r.DefaultExt + ")|*." + r.DefaultExt +
             "|" + Tr("Universal", "wszystkiePliki") + " (*.*)|*.*";
  r.InitialDir = lastFolder;
  if (r.InitialDir.isEmpty()) {
    r.InitialDir = ExeDir;
    if (!r.InitialDir.endsWith('/') && !r.InitialDir.endsWith('\\')) r.InitialDir += '/';
  }
  const QString file = hooks.ChooseFile ? hooks.ChooseFile(r) : QString();
  if (file.isEmpty()) return;
  // Reading a model closes every project window; a generated series that was
  // never saved would be lost without a word.
  if (hooks.ProjectWindowCount && hooks.ProjectWindowCount() > 0 &&
      ConfirmDialog(Tr("SerialCutFrom3D", "zamknacOknaProjektow"),
                    MsgButtons(MsgButton::Yes) | MsgButton::No) != ModalResult::Yes) {
    return;
  }
  if (hooks.CloseAll) hooks.CloseAll();
  CzytajModel(file);
  // A folder too long for the record is not remembered (a cut-off path would
  // point elsewhere).
  GlobalSettings().SetLastOpenDir(QDir::toNativeSeparators(QFileInfo(file).absolutePath()));
}

void TfGenSer::CzytajModel(const QString& fileName) {
  if (!QFileInfo(fileName).isFile()) {
    // The model read before is gone with the windows made from it: nothing
    // may be generated from it under an empty file name.
    ForgetModel();
    StatusPanels[0].clear();
    if (View != nullptr) View->PokazScene();
    Notify();
    ShowMessageBox(Tr("Universal", "txtPlikuBrak") + "\r\n" + fileName, true);
    return;
  }
  ModelExtents.FileName = fileName;
  ePlik.SetCaption(fileName);
  ePlik.SetHint(fileName);
  if (View != nullptr) {
    // The reader replaces the triangle list on its own thread: until it has
    // ended, no render of the view may read it.
    View->OdlaczListy();
    View->Locked = true;
  }
  StatusPanels[0] = Tr("SerialCutFrom3D", "odczytRAWtrwa");
  UstawPrzyciski(false);
  // The reader writes the extents: the model-info dialog, which copies them,
  // stays off until it has ended.
  btnModelInfo.SetEnabled(false);
  ModelTriangles.clear();
  ModelTriangles.shrink_to_fit();
  Notify();
  if (ClosingRequested()) return;
  auto* worker = new TRAWodczytWatek();
  worker->FreeOnTerminate = true;
  worker->OnTerminate = [this, worker] { ZakonczWatekCzytaniaRAW(worker); };
  reader_ = worker;
  if (ClosingRequested()) {
    reader_ = nullptr;
    delete worker;  // never started
    return;
  }
  worker->Resume();
}

void TfGenSer::ZakonczWatekCzytaniaRAW(TRAWodczytWatek* worker) {
  if (worker != reader_.data()) return;
  StepCounter = 1;
  reader_ = nullptr;
  if (View != nullptr) View->Locked = false;
  const bool read = worker->Outcome() == TRAWodczytWatek::TOutcome::Read;
  if (read) {
    StatusPanels[0] = Tr("SerialCutFrom3D", "importRAWzakonczony");
    if (View != nullptr) {
      View->LadujListeRAW(&ModelTriangles, ModelExtents.MinX, ModelExtents.MinY, ModelExtents.MinZ,
                          ModelExtents.MaxX, ModelExtents.MaxY, ModelExtents.MaxZ);
    }
    UstawPrzyciski(true);
    btnModelInfo.SetEnabled(true);
    Notify();
    return;
  }
  // A file that could not be read, held no triangle or only one point gives
  // nothing to generate from: the operator is told, and only choosing another
  // file stays. A read stopped because the program closes says nothing.
  QString reason = worker->ErrorText();
  if (reason.isEmpty()) reason = worker->FatalError();
  StatusPanels[0].clear();
  ForgetModel();
  UstawPrzyciski(true);
  btnGeneruj.SetEnabled(false);
  if (View != nullptr) View->PokazScene();
  Notify();
  if (!reason.isEmpty()) ShowMessageBox(reason, true);
}

void TfGenSer::ForgetModel() {
  if (View != nullptr) View->OdlaczListy();
  ModelTriangles.clear();
  ModelTriangles.shrink_to_fit();
  ModelExtents = TModel{};
  ModelSize[0] = ModelSize[1] = ModelSize[2] = 0;
  ModelCentreX = ModelCentreY = ModelCentreZ = 0;
  ePlik.SetCaption(QString());
  ePlik.SetHint(QString());
  btnGeneruj.SetEnabled(false);
  btnModelInfo.SetEnabled(false);
  StepCounter = 1;
  Notify();
}

bool TfGenSer::ModelLoaded() const {
  return !ModelExtents.FileName.isEmpty() && !ModelTriangles.empty() && !reader_;
}

void TfGenSer::UstawPrzyciski(bool on) {
  if (View != nullptr) View->Locked = !on;
  btnPlikRaw.SetEnabled(on);
  btnGeneruj.SetEnabled(on);
  Notify();
}

void TfGenSer::UstawKontrolki(bool on) {
  UstawPrzyciski(on);
  feIloscObrotow.SetEnabled(on);
  // Off while a step runs; back with the model it shows.
  btnModelInfo.SetEnabled(on && ModelLoaded());
  Notify();
}

void TfGenSer::btnModelInfoClick() {
  // The double click on the group comes here too: nothing while a worker
  // writes the model or the button is off.
  if (!btnModelInfo.Enabled() || reader_ || rasteriser_) return;
  if (ModelExtents.FileName.isEmpty() || ePlik.Caption().isEmpty()) return;
  if (hooks.ShowModelInfo) hooks.ShowModelInfo();
}

// ---- Generation ----

bool TfGenSer::SprawdzRozmiar() {
  const double s = Dlgkonfig().skala.Value();
  // The width the wire has to clear is that of the widest turned silhouette,
  // not the model's X size: a cube turned by 45 degrees is 1.41 times wider.
  const double sx = 2 * ModelTurnRadius();
  const double sy = ModelExtents.MaxY - ModelExtents.MinY;
  const double lx = WorkingAreaLimits.X, ly = WorkingAreaLimits.Y;
  if (lx >= s * sx / 100 && ly >= s * sy / 100) {
    if (s * sy / 100 > ly - Dlgkonfig().Ystolika.Value()) {
      ShowMessageBox(Tr("Main_window", "projektZaDuzaWysokosc") + "\r\n" +
                         Tr("SerialCutFrom3D", "obnizYstolika"),
                     true);
      return false;
    }
    return true;
  }
  ShowMessageBox(Tr("Main_window", "projektZaDuzy"), true);
  return false;
}

double TfGenSer::StepCount() const {
  const double typed = feIloscObrotow.CheckValue(feIloscObrotow.Value());
  return feIloscObrotow.CheckValue(std::nearbyint(typed));
}

void TfGenSer::UtworzPasekPostepu() {
  ProgressShown = true;
  ProgressPosition = 0;
  ProgressMax = Round(StepCount());
  Notify();
}

void TfGenSer::btnGenerujClick() {
  // Enter in the step edit comes here too: nothing starts without a read
  // model or while a worker runs.
  if (!btnGeneruj.Enabled() || reader_ || rasteriser_ || Running) return;
  if (!SprawdzRozmiar()) return;
  // The operator may press Enter while the typed count is still outside the
  // range: the run takes the whole number in range, and the edit shows it.
  feIloscObrotow.SetValue(StepCount());
  UstawKontrolki(false);
  UtworzPasekPostepu();
  Running = true;
  const double n = StepCount();
  if (StepCounter == 1 || StepCounter > n) {
    if (View != nullptr) View->ResetujPrzeksztalcenia();
    if (hooks.CloseAll) hooks.CloseAll();
    StepCounter = 1;
    ModelAngle = 0;
  }
  AngleStepDeg = AngleStep(n);
  try {
    UstawRozmiarSiatki();
  } catch (const MessageError& e) {
    Running = false;
    ProgressShown = false;
    UstawKontrolki(true);
    ShowMessageError(e);
    return;
  }
  if (Running) UruchomKrok();
}

void TfGenSer::StopRasteriser() {
  TRawDoPix* w = rasteriser_.data();
  rasteriser_ = nullptr;
  if (w == nullptr) return;
  // Waiting here keeps a second worker from writing the grid while this one
  // still does; its completion no longer belongs to a step.
  w->OnTerminate = nullptr;
  w->Terminate();
  w->Wait();
  if (!w->Started()) delete w;  // never started: nothing frees it
}

void TfGenSer::UruchomKrok() {
  if (!Running || ClosingRequested()) return;
  StatusPanels[1] = AngleStatusText(ModelAngle);
  StopRasteriser();
  auto* worker = new TRawDoPix();
  worker->FreeOnTerminate = true;
  worker->OnTerminate = [this, worker] { ZakonczWatekRawDoPix(worker); };
  rasteriser_ = worker;
  Notify();
  if (ClosingRequested()) {
    rasteriser_ = nullptr;
    delete worker;
    return;
  }
  worker->Resume();
}

void TfGenSer::AbandonRun() {
  Running = false;
  ProgressPosition = 0;
  if (View != nullptr) View->ResetujPrzeksztalcenia();
  if (hooks.CloseAll) hooks.CloseAll();
  StepWindow = nullptr;
  UstawKontrolki(true);
  StepCounter = 1;
  ModelAngle = 0;
  Notify();
}

void TfGenSer::ZakonczWatekRawDoPix(TRawDoPix* worker) {
  if (worker != rasteriser_.data()) return;  // a step given up earlier
  StatusPanels[0].clear();
  StatusPanels[1].clear();
  rasteriser_ = nullptr;
  Notify();
  if (!Running) return;
  if (!worker->Completed()) {
    // The grid of a failed or stopped step holds no silhouette to trace.
    QString reason = worker->ErrorText();
    if (reason.isEmpty()) reason = worker->FatalError();
    AbandonRun();
    if (!reason.isEmpty()) ShowMessageBox(reason, true);
    return;
  }
  try {
    if (!UtworzOknoKroku()) return;
  } catch (const std::exception& e) {
    // Tracing or preparing the step failed (a coordinate out of range): the
    // run stops instead of leaving a series with a pass missing.
    TracedFigures.clear();
    AbandonRun();
    ShowMessageBox(Tr("SerialCutFrom3D", "bladRasteryzacji") + QString::fromStdString(e.what()),
                   true);
    return;
  }
  if (View != nullptr) {
    View->Nawigacja(1, Round(-2 * AngleStepDeg), 0);
    View->PokazScene();
  }
  const double n = StepCount();
  if (StepCounter == n && hooks.Tile) hooks.Tile();
  ModelAngle += AngleStepDeg;
  ++StepCounter;
  ++ProgressPosition;
  if (StepCounter > n) {
    UstawKontrolki(true);
    ProgressShown = false;
    Running = false;
    ModelCutOffAtEnd = cbOdcinajPoZakonczeniu.Checked();
    Dlgkonfig().Mode.SetItemIndex(3);
    Notify();
    if (cbZamkniOknoAut.Checked() && hooks.Close) hooks.Close();
  } else if (Running) {
    UruchomKrok();
  }
}

bool TfGenSer::UtworzOknoKroku() {
  Tracer.SledzObrys();

  // The figures the step window takes: the open outline, and the closed
  // ones (holes) only when asked to keep them.
  const bool keepClosed = cbZostawZamknieteFig.Checked();
  std::size_t wanted = 0;
  for (const auto& f : TracedFigures)
    if (!f->TracedClosed || keepClosed) ++wanted;
  if (wanted == 0) {
    // An empty silhouette, or one that closed on itself, has nothing the
    // serial cut could follow; an empty window could not be prepared.
    TracedFigures.clear();
    AbandonRun();
    ShowMessageBox(Tr("SerialCutFrom3D", "brakObrysu") + AngleStatusText(ModelAngle), true);
    return false;
  }

  TMDIChild* w = hooks.Windows.Create ? hooks.Windows.Create() : nullptr;
  if (w == nullptr) {
    TracedFigures.clear();
    AbandonRun();
    return false;
  }
  StepWindow = w;
  w->Caption = StepCaption(ModelExtents.FileName, ModelAngle);
  w->FileType = 1;
  w->Figures.clear();
  for (auto& f : TracedFigures)
    if (!f->TracedClosed || keepClosed) w->AddFigure(std::move(f));
  TracedFigures.clear();

  if (w->Figures.size() > 1) {
    if (hooks.Beep) hooks.Beep();
    const ModalResult answer = ConfirmDialog(
        Tr("SerialCutFrom3D", "wieleFigur") + "\r\n" + Tr("SerialCutFrom3D", "czyKontynuowac"),
        MsgButtons(MsgButton::OK) | MsgButton::Cancel);
    if (answer != ModalResult::OK) {
      AbandonRun();
      return false;
    }
  }

  w->SingleOpenFigure = w->Figures.size() == 1 &&
                        !PointsNear(w->Figures[0]->Points.front(), w->Figures[0]->Points.back());
  w->PassNumber = StepCounter;
  const bool prepared = FinishGeneratedProject(*w);
  if (hooks.Windows.Shown) hooks.Windows.Shown(w);
  if (!prepared || w->CloseRequested) {
    // The reason has been shown; a series with a pass missing is no use.
    AbandonRun();
    return false;
  }
  return true;
}

void TfGenSer::btnAnulujClick() {
  Running = false;
  if (!rasteriser_) {
    if (hooks.Close) hooks.Close();
    return;
  }
  StopRasteriser();
  StatusPanels[0].clear();
  StatusPanels[1].clear();
  AbandonRun();
}

}  // namespace vm
