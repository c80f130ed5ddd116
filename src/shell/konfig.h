// The settings store: the settings dialog's named controls are the program's
// settings. Every subsystem reads them from the one instance, for example
// vm::Dlgkonfig().Mode.ItemIndex(), vm::Dlgkonfig().skala.Value() or
// vm::Dlgkonfig().AddFrame.Checked(). Unit edits (TFltEditU) always give mm.
//
// The store also owns the dialog's handlers: enable rules, unit change, the
// settings text files ("name := value" lines), the snapshot "work.mc" taken on
// every showing and loaded back on Cancel, and the global record file.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "shell/float_edit.h"
#include "shell/fltedit.h"
#include "shell/global_record.h"
#include "shell/konfig_controls.h"

namespace vm {

// What the store needs from subsystems above the shell. Each hook is optional;
// without it the stated default applies. The machine link, the project windows
// and the main window install theirs at start-up.
struct TKonfigHooks {
  // Maximum cutting and travel speeds of the machine (mm/min): 1500 and 3000
  // until a machine of the JX family has been identified.
  std::function<double()> MaxCuttingSpeed;
  std::function<double()> MaxTravelSpeed;
  std::function<bool()> FamilyJX;
  // Recomputes the calibration factors from feKalibracjaX and feKalibracjaY.
  std::function<void()> LoadCalibration;
  // Sets both direction bytes of every open project window (+1 or -1).
  std::function<void(int)> SetProjectDirections;
  // Filter index of the main window's open dialog, copied into the record at
  // every save of the record.
  std::function<int()> OpenDialogFilterIndex;
  // Clears the main window's status bar text.
  std::function<void()> ClearStatusBar;
};

TKonfigHooks& KonfigHooks();

// Result of LoadKonfig.
struct TKonfigLoadResult {
  bool found = false;        // the file existed and was read
  QStringList skippedLines;  // lines whose value could not be converted
};

class TDlgkonfig {
 public:
  // Controls at their defaults with their handlers bound; no file is touched.
  TDlgkonfig();
  TDlgkonfig(const TDlgkonfig&) = delete;
  TDlgkonfig& operator=(const TDlgkonfig&) = delete;

  // ---- stored controls, in component order (the order of the file lines) ----
  TTntRadioGroup Mode;                  // 0 turning, 1 rotary, 2 cutting, 3 serial; default 2
  TTntCheckBox AutoSave;                // unchecked
  TTntRadioGroup radiounit;             // 0 mm, 1 inch, 2 feet
  TTntRadioGroup CatDir;                // 0 right, 1 left, 2 both; default 2
  TFltEdit work_power;                  // % 0..100, default 20
  TFltEdit CzasRozgrzewania;            // ms 0..10000, default 1000
  TTntCheckBox Wstrzymaj;               // unchecked
  TTntRadioGroup KierunekObrotow;       // 0 right, 1 left
  TTntCheckBox dopasujKierunek;         // checked
  TFltEdit il_obr_rys;                  // 0..1000, default 0
  TFltEdit Pauza_w_kacie;               // ms 0..10000, default 200
  TFltEdit ilosckrokow;                 // 1..50000, default 8
  TFltEditU Srednicamaterialu;          // mm 0..3000, default 500
  TFltEditU szybkoscObrobki;            // mm/min 20..3000, default 1000
  TFltEditU PrzeSpeed;                  // mm/min 20..3000, default 1000
  TFltEdit skala;                       // % 1..1000, default 100
  TTntCheckBox Heavy;                   // unchecked
  TTntRadioGroup StolikSwitch;          // 0 spindle, 1 table, 2 none
  TTntCheckBox AddFrame;                // checked
  TTntRadioGroup Comnumber;             // 0..4 = "COM 1".."COM 5"
  TFltEditU Xwrzeciona;                 // mm -1000..1000, default 12
  TFltEditU Ywrzeciona;                 // mm 0..2000, default 730
  TFltEditU Xstolika;                   // mm 0..3000, default 1000
  TFltEditU Ystolika;                   // mm 0..3000, default 250
  TFltEditU Xnarzedzia;                 // mm -1000..1000, default 0
  TFltEditU Ynarzedzia;                 // mm -1000..1000, default 0
  TFltEdit feKalibracjaX;               // % -5..5, default 0
  TFltEdit feKalibracjaY;               // % -5..5, default 0
  TTntRadioGroup rgBazowanie;           // 0 diagonal, 1 first X then Y
  TTntRadioGroup rgKatObrotu;           // 0 computed, 1 given after each pass
  TTntRadioGroup rgAlgorytmObrotowego;  // 0 wire leaves the material, 1 stays

  // ---- labels, pages, buttons and the scheme picture ----
  TLabel Labelsrednica, Labelsrednicaunit, Labelspeed, LabelszybkoscObrobki, Labelprzestawcza,
      Labelprzespeed, Labelpower, Labelstarttime, Labelilkrok, Labelilobr, Labelpauza, LabelSkala,
      labelXwrzeciona, Labelywrzeciona, labelXStolika, LabelYStolika, LabelXnarzedzia,
      LabelYnarzedzia, Xwrzecionaunit, ywrzecionaunit, XstolikaUnit, YstolikaUnit, xnarzedziaunit,
      Ynarzedziaunit;
  TLabel TabSheet2, ploter, tabSeryjne, tabObrotowe, gbKalibracja;
  TLabel Button1, cancel, zapis, Odczyt, btnPobierzXYwrzeciona, btnPobierzXYstolika;
  TImage iObrotoweSchemat;

  // Every component in component order, and the 31 stored ones.
  const std::vector<TControl*>& Components() const { return components_; }
  std::vector<TControl*> StoredControls() const;
  // The stored control of that exact (case-sensitive) name, or nullptr.
  TControl* FindStored(const QString& name) const;
  // The nine unit edits, in the order the unit change visits them.
  std::vector<TFltEditU*> UnitEdits();

  // The dialog's caption: the current settings file name after FormCreate.
  const QString& Caption() const { return caption_; }
  // Text of the build date shown by the About box.
  const QString& BuildDateText() const { return buildDate_; }

  // ---- private bytes read by the main window ----
  bool CalibrationChanged() const { return calibrationChanged_; }
  bool ReprepareProjects() const { return reprepare_; }
  void ClearReprepareProjects() { reprepare_ = false; }
  bool PortChanged() const { return portChanged_; }
  bool Loading() const { return loading_; }

  // ---- handlers ----
  void FormCreate();
  void FormActivate();
  void FormDeactivate();
  // Writes the record; a failure is shown (nothing above it could catch it).
  void FormDestroy();
  void OkClick();
  void cancelClick();
  // Save as / load with the name the file dialog gave. A name that does not fit
  // the record is refused with a message (nothing written or loaded); returns
  // whether the operation was done.
  bool zapisClick(const QString& fileName);
  bool OdczytClick(const QString& fileName);
  void updateactiv();
  void VIChange();
  void ComnumberClick();
  void radiounitClick();
  void btnPobierzXYwrzecionaClick();
  void btnPobierzXYstolikaClick();
  void feKalibracjaXChange();
  void rgAlgorytmObrotowegoClick();
  void SrednicamaterialuEnter() {}
  void SrednicamaterialuExit() {}

  // ---- files ----
  // Path a settings file name refers to: a name without folder lies in the
  // program's folder.
  static QString ResolveFileName(const QString& fileName);
  // The settings text of the stored controls ("name := value" CR LF lines).
  QByteArray SettingsText() const;
  // Writes the settings text file; raises IoError on failure.
  void SaveKonfig(const QString& fileName) const;
  // Reads a settings text file and applies it. A missing file shows the box
  // ("Configuration", "brakKonfiga"); only a missing "Velmarosta.tcf" of the
  // program's folder is then created from the defaults. Lines whose value
  // cannot be converted are skipped and reported once; the rest is applied.
  TKonfigLoadResult LoadKonfig(const QString& fileName);
  // Applies settings text as LoadKonfig does (without the file).
  QStringList ApplySettingsText(const QByteArray& text);

  // "Velmarosta.gcf" in the program's folder; SaveGlobalSettings raises IoError.
  void SaveGlobalSettings();
  void LoadGlobalSettings();
  void DefaultGlobalSettings();

 private:
  void BindHandlers();
  // The machine's speed limits as the ranges of the speed edits; values above
  // them are lowered to them.
  void ApplyMachineLimits();
  void SetStepsForUnit();
  static QString UnitName();

  std::vector<TControl*> components_;
  QString caption_;
  QString buildDate_;
  QByteArray snapshot_;          // settings text at the last activation
  bool snapshotInFile_ = false;  // that activation wrote "work.mc"
  bool calibrationChanged_ = false;
  bool reprepare_ = false;
  bool portChanged_ = false;
  bool loading_ = false;
};

// The one settings store of the program.
TDlgkonfig& Dlgkonfig();
// Puts a fresh store (all defaults, no file touched) in place of the one
// instance; the global record and the hooks are reset as well.
void ResetDlgkonfig();

}  // namespace vm
