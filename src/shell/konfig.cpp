// The settings store: controls, handlers and files behind the settings dialog.
#include "shell/konfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/interfejs.h"
#include "shell/messages.h"
#include "shell/options.h"
#include "shell/program_info.h"
#include "shell/settings_file.h"

namespace vm {
namespace {

void SetupEdit(TNumericEdit& e, double minValue, double maxValue, double increment, double value) {
  e.SetMinValue(minValue);
  e.SetMaxValue(maxValue);
  e.SetIncrement(increment);
  e.SetValue(value);
}

void SetupUnitEdit(TFltEditU& e, double minValue, double maxValue, double increment, double value) {
  e.SetffFormat(TFloatFormat::ffFixed);
  e.SetPrecision(8);
  e.SetDigit(3);
  e.ApplyUnitDecimals();
  SetupEdit(e, minValue, maxValue, increment, value);
}

// Clears the loading byte on every way out of a load.
class LoadingGuard {
 public:
  explicit LoadingGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~LoadingGuard() { flag_ = false; }
  LoadingGuard(const LoadingGuard&) = delete;
  LoadingGuard& operator=(const LoadingGuard&) = delete;

 private:
  bool& flag_;
};

// Replaces a file as a whole: a failed write leaves the former file intact.
void WriteFile(const QString& path, const QByteArray& bytes) {
  QSaveFile f(path);
  f.setDirectWriteFallback(true);
  if (!f.open(QIODevice::WriteOnly))
    throw IoError("cannot create " + path.toStdString() + ": " + f.errorString().toStdString());
  if (f.write(bytes) != bytes.size() || !f.commit())
    throw IoError("cannot write " + path.toStdString() + ": " + f.errorString().toStdString());
}

QString SettingsValueText(const TControl& c) {
  if (auto* r = dynamic_cast<const TTntRadioGroup*>(&c)) return QString::number(r->ItemIndex());
  if (auto* b = dynamic_cast<const TTntCheckBox*>(&c)) return CheckBoxStateToStr(b->State());
  if (auto* e = dynamic_cast<const TNumericEdit*>(&c)) return FormatSettingsNumber(e->Value());
  return {};
}

bool IsStoredKind(const TControl& c) {
  const QString k = c.ClassName();
  return k.compare(QLatin1String("TFltEdit"), Qt::CaseInsensitive) == 0 ||
         k.compare(QLatin1String("TFltEditU"), Qt::CaseInsensitive) == 0 ||
         k.compare(QLatin1String("TTntCheckBox"), Qt::CaseInsensitive) == 0 ||
         k.compare(QLatin1String("TTntRadioGroup"), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<TDlgkonfig>& Instance() {
  static std::unique_ptr<TDlgkonfig> instance;
  return instance;
}

}  // namespace

TKonfigHooks& KonfigHooks() {
  static TKonfigHooks hooks;
  return hooks;
}

TDlgkonfig::TDlgkonfig()
    : Mode(QStringLiteral("Mode"),
           {QStringLiteral("Turning"), QStringLiteral("Rotary cutting"), QStringLiteral("Cutting"),
            QStringLiteral("Serial cutting")},
           2),
      AutoSave(QStringLiteral("AutoSave"), false),
      radiounit(QStringLiteral("radiounit"),
                {QStringLiteral("mm"), QStringLiteral("inch"), QStringLiteral("feet")}, 0),
      CatDir(
          QStringLiteral("CatDir"),
          {QStringLiteral("To the right"), QStringLiteral("To the left"), QStringLiteral("Both")},
          2),
      work_power(QStringLiteral("work_power")),
      CzasRozgrzewania(QStringLiteral("CzasRozgrzewania")),
      Wstrzymaj(QStringLiteral("Wstrzymaj"), false),
      KierunekObrotow(QStringLiteral("KierunekObrotow"),
                      {QStringLiteral("To the right"), QStringLiteral("To the left")}, 0),
      dopasujKierunek(QStringLiteral("dopasujKierunek"), true),
      il_obr_rys(QStringLiteral("il_obr_rys")),
      Pauza_w_kacie(QStringLiteral("Pauza_w_kacie")),
      ilosckrokow(QStringLiteral("ilosckrokow")),
      Srednicamaterialu(QStringLiteral("Srednicamaterialu")),
      szybkoscObrobki(QStringLiteral("szybkoscObrobki")),
      PrzeSpeed(QStringLiteral("PrzeSpeed")),
      skala(QStringLiteral("skala")),
      Heavy(QStringLiteral("Heavy"), false),
      StolikSwitch(QStringLiteral("StolikSwitch"),
                   {QStringLiteral("Spindle"), QStringLiteral("Table"), QStringLiteral("None")}, 0),
      AddFrame(QStringLiteral("AddFrame"), true),
      Comnumber(QStringLiteral("Comnumber"),
                {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3"),
                 QStringLiteral("COM 4"), QStringLiteral("COM 5")},
                0, 3),
      Xwrzeciona(QStringLiteral("Xwrzeciona")),
      Ywrzeciona(QStringLiteral("Ywrzeciona")),
      Xstolika(QStringLiteral("Xstolika")),
      Ystolika(QStringLiteral("Ystolika")),
      Xnarzedzia(QStringLiteral("Xnarzedzia")),
      Ynarzedzia(QStringLiteral("Ynarzedzia")),
      feKalibracjaX(QStringLiteral("feKalibracjaX")),
      feKalibracjaY(QStringLiteral("feKalibracjaY")),
      rgBazowanie(
          QStringLiteral("rgBazowanie"),
          {QStringLiteral("Fast, along the diagonal"), QStringLiteral("Slower, first X, then Y")},
          0),
      rgKatObrotu(QStringLiteral("rgKatObrotu"),
                  {QStringLiteral("Computed from the number of passes"),
                   QStringLiteral("Given after each pass")},
                  0),
      rgAlgorytmObrotowego(QStringLiteral("rgAlgorytmObrotowego"),
                           {QStringLiteral("Wire leaves the material before the rotation"),
                            QStringLiteral("Wire stays in the material during the rotation")},
                           0),
      Labelsrednica(QStringLiteral("Labelsrednica")),
      Labelsrednicaunit(QStringLiteral("Labelsrednicaunit")),
      Labelspeed(QStringLiteral("Labelspeed")),
      LabelszybkoscObrobki(QStringLiteral("LabelszybkoscObrobki")),
      Labelprzestawcza(QStringLiteral("Labelprzestawcza")),
      Labelprzespeed(QStringLiteral("Labelprzespeed")),
      Labelpower(QStringLiteral("Labelpower")),
      Labelstarttime(QStringLiteral("Labelstarttime")),
      Labelilkrok(QStringLiteral("Labelilkrok")),
      Labelilobr(QStringLiteral("Labelilobr")),
      Labelpauza(QStringLiteral("Labelpauza")),
      LabelSkala(QStringLiteral("LabelSkala")),
      labelXwrzeciona(QStringLiteral("labelXwrzeciona")),
      Labelywrzeciona(QStringLiteral("Labelywrzeciona")),
      labelXStolika(QStringLiteral("labelXStolika")),
      LabelYStolika(QStringLiteral("LabelYStolika")),
      LabelXnarzedzia(QStringLiteral("LabelXnarzedzia")),
      LabelYnarzedzia(QStringLiteral("LabelYnarzedzia")),
      Xwrzecionaunit(QStringLiteral("Xwrzecionaunit")),
      ywrzecionaunit(QStringLiteral("ywrzecionaunit")),
      XstolikaUnit(QStringLiteral("XstolikaUnit")),
      YstolikaUnit(QStringLiteral("YstolikaUnit")),
      xnarzedziaunit(QStringLiteral("xnarzedziaunit")),
      Ynarzedziaunit(QStringLiteral("Ynarzedziaunit")),
      TabSheet2(QStringLiteral("TabSheet2"), QStringLiteral("TTntTabSheet")),
      ploter(QStringLiteral("ploter"), QStringLiteral("TTntTabSheet")),
      tabSeryjne(QStringLiteral("tabSeryjne"), QStringLiteral("TTntTabSheet")),
      tabObrotowe(QStringLiteral("tabObrotowe"), QStringLiteral("TTntTabSheet")),
      gbKalibracja(QStringLiteral("gbKalibracja"), QStringLiteral("TTntGroupBox")),
      Button1(QStringLiteral("Button1"), QStringLiteral("TTntButton")),
      cancel(QStringLiteral("cancel"), QStringLiteral("TTntButton")),
      zapis(QStringLiteral("zapis"), QStringLiteral("TTntButton")),
      Odczyt(QStringLiteral("Odczyt"), QStringLiteral("TTntButton")),
      btnPobierzXYwrzeciona(QStringLiteral("btnPobierzXYwrzeciona"), QStringLiteral("TTntButton")),
      btnPobierzXYstolika(QStringLiteral("btnPobierzXYstolika"), QStringLiteral("TTntButton")),
      iObrotoweSchemat(QStringLiteral("iObrotoweSchemat")) {
  SetupEdit(work_power, 0, 100, 1, 20);
  SetupEdit(CzasRozgrzewania, 0, 10000, 100, 1000);
  SetupEdit(il_obr_rys, 0, 1000, 1, 0);
  SetupEdit(Pauza_w_kacie, 0, 10000, 10, 200);
  SetupEdit(ilosckrokow, 1, 50000, 1, 8);
  SetupUnitEdit(Srednicamaterialu, 0, 3000, 100, 500);
  SetupUnitEdit(szybkoscObrobki, 20, 3000, 100, 1000);
  SetupUnitEdit(PrzeSpeed, 20, 3000, 100, 1000);
  SetupEdit(skala, 1, 1000, 1, 100);
  SetupUnitEdit(Xwrzeciona, -1000, 1000, 100, 12);
  SetupUnitEdit(Ywrzeciona, 0, 2000, 100, 730);
  SetupUnitEdit(Xstolika, 0, 3000, 100, 1000);
  SetupUnitEdit(Ystolika, 0, 3000, 100, 250);
  SetupUnitEdit(Xnarzedzia, -1000, 1000, 100, 0);
  SetupUnitEdit(Ynarzedzia, -1000, 1000, 100, 0);
  SetupEdit(feKalibracjaX, -5, 5, 1, 0);
  SetupEdit(feKalibracjaY, -5, 5, 1, 0);

  components_ = {&Mode,
                 &AutoSave,
                 &radiounit,
                 &CatDir,
                 &work_power,
                 &CzasRozgrzewania,
                 &Wstrzymaj,
                 &KierunekObrotow,
                 &dopasujKierunek,
                 &il_obr_rys,
                 &Pauza_w_kacie,
                 &ilosckrokow,
                 &Srednicamaterialu,
                 &szybkoscObrobki,
                 &PrzeSpeed,
                 &skala,
                 &Heavy,
                 &StolikSwitch,
                 &AddFrame,
                 &Comnumber,
                 &Xwrzeciona,
                 &Ywrzeciona,
                 &Xstolika,
                 &Ystolika,
                 &Xnarzedzia,
                 &Ynarzedzia,
                 &feKalibracjaX,
                 &feKalibracjaY,
                 &rgBazowanie,
                 &rgKatObrotu,
                 &rgAlgorytmObrotowego,
                 &Labelsrednica,
                 &Labelsrednicaunit,
                 &Labelspeed,
                 &LabelszybkoscObrobki,
                 &Labelprzestawcza,
                 &Labelprzespeed,
                 &Labelpower,
                 &Labelstarttime,
                 &Labelilkrok,
                 &Labelilobr,
                 &Labelpauza,
                 &LabelSkala,
                 &labelXwrzeciona,
                 &Labelywrzeciona,
                 &labelXStolika,
                 &LabelYStolika,
                 &LabelXnarzedzia,
                 &LabelYnarzedzia,
                 &Xwrzecionaunit,
                 &ywrzecionaunit,
                 &XstolikaUnit,
                 &YstolikaUnit,
                 &xnarzedziaunit,
                 &Ynarzedziaunit,
                 &TabSheet2,
                 &ploter,
                 &tabSeryjne,
                 &tabObrotowe,
                 &gbKalibracja,
                 &Button1,
                 &cancel,
                 &zapis,
                 &Odczyt,
                 &btnPobierzXYwrzeciona,
                 &btnPobierzXYstolika,
                 &iObrotoweSchemat};
  BindHandlers();
}

void TDlgkonfig::BindHandlers() {
  Mode.OnClick = [this] { updateactiv(); };
  CatDir.OnClick = [this] { updateactiv(); };
  KierunekObrotow.OnClick = [this] { VIChange(); };
  StolikSwitch.OnClick = [this] { VIChange(); };
  radiounit.OnClick = [this] { radiounitClick(); };
  Comnumber.OnClick = [this] { ComnumberClick(); };
  rgAlgorytmObrotowego.OnClick = [this] { rgAlgorytmObrotowegoClick(); };
  feKalibracjaX.OnChange = [this] { feKalibracjaXChange(); };
  feKalibracjaY.OnChange = [this] { feKalibracjaXChange(); };
  for (TFltEditU* e : UnitEdits()) {
    e->OnEnter = [this] { SrednicamaterialuEnter(); };
    e->OnExit = [this] { SrednicamaterialuExit(); };
  }
}

std::vector<TControl*> TDlgkonfig::StoredControls() const {
  std::vector<TControl*> out;
  for (TControl* c : components_)
    if (IsStoredKind(*c)) out.push_back(c);
  return out;
}

TControl* TDlgkonfig::FindStored(const QString& name) const {
  for (TControl* c : components_)
    if (IsStoredKind(*c) && c->Name() == name) return c;
  return nullptr;
}

std::vector<TFltEditU*> TDlgkonfig::UnitEdits() {
  return {&Srednicamaterialu, &szybkoscObrobki, &PrzeSpeed, &Xnarzedzia, &Ynarzedzia,
          &Xwrzeciona,        &Ywrzeciona,      &Xstolika,  &Ystolika};
}

QString TDlgkonfig::UnitName() { return vm::UnitName(KnownUnit(CurrentUnit)); }

// ---- creation, activation, closing ----

void TDlgkonfig::FormCreate() {
  Button1.SetCaption(Tr("Configuration", "Button1.caption"));
  cancel.SetCaption(Tr("Configuration", "cancel.caption"));
  TabSheet2.SetCaption(Tr("Configuration", "Tabsheet2.caption"));
  ploter.SetCaption(Tr("Configuration", "ploter.caption"));
  tabSeryjne.SetCaption(Tr("Configuration", "tabSeryjne.caption"));
  tabObrotowe.SetCaption(Tr("Configuration", "tabObrotowe.caption"));
  AutoSave.SetCaption(Tr("Configuration", "AutoSave.caption"));
  zapis.SetCaption(Tr("Configuration", "zapis.caption"));
  Odczyt.SetCaption(Tr("Configuration", "Odczyt.caption"));
  CatDir.SetCaption(Tr("Configuration", "CatDir.caption"));
  Labelsrednica.SetCaption(Tr("Configuration", "Labelsrednica.caption"));
  Labelspeed.SetCaption(Tr("Configuration", "Labelspeed.caption"));
  Labelprzestawcza.SetCaption(Tr("Configuration", "Labelprzestawcza.caption"));
  Labelpower.SetCaption(Tr("Configuration", "Labelpower.caption"));
  Labelstarttime.SetCaption(Tr("Configuration", "Labelstarttime.caption"));
  Wstrzymaj.SetCaption(Tr("Configuration", "Wstrzymaj.caption"));
  KierunekObrotow.SetCaption(Tr("Configuration", "KierunekObrotow.caption"));
  Labelilkrok.SetCaption(Tr("Configuration", "Labelilkrok.caption"));
  dopasujKierunek.SetCaption(Tr("Configuration", "dopasujKierunek.caption"));
  labelXwrzeciona.SetCaption(Tr("Configuration", "labelXwrzeciona.caption"));
  Labelywrzeciona.SetCaption(Tr("Configuration", "Labelywrzeciona.caption"));
  labelXStolika.SetCaption(Tr("Configuration", "labelXStolika.caption"));
  LabelYStolika.SetCaption(Tr("Configuration", "LabelYStolika.caption"));
  btnPobierzXYwrzeciona.SetCaption(Tr("Configuration", "btnPobierzXYwrzeciona.Caption"));
  btnPobierzXYstolika.SetCaption(Tr("Configuration", "btnPobierzXYstolika.Caption"));
  gbKalibracja.SetCaption(Tr("Configuration", "gbKalibracja.caption"));
  rgBazowanie.SetCaption(Tr("Configuration", "rgBazowanie.caption"));
  rgBazowanie.SetItems(
      {Tr("Configuration", "rgBazowanie.items0"), Tr("Configuration", "rgBazowanie.items1")});
  Mode.SetCaption(Tr("Configuration", "Mode.caption"));
  Labelilobr.SetCaption(Tr("Configuration", "Labelilobr.caption"));
  Labelpauza.SetCaption(Tr("Configuration", "Labelpauza.caption"));
  LabelXnarzedzia.SetCaption(Tr("Configuration", "labelXNarzedzia.caption"));
  LabelYnarzedzia.SetCaption(Tr("Configuration", "labelYNarzedzia.caption"));
  LabelSkala.SetCaption(Tr("Configuration", "LabelSkala.caption"));
  KierunekObrotow.SetItem(0, Tr("Configuration", "KierunekObrotow.Item0"));
  KierunekObrotow.SetItem(1, Tr("Configuration", "KierunekObrotow.Item1"));
  CatDir.SetItem(0, Tr("Configuration", "catdir.Item0"));
  CatDir.SetItem(1, Tr("Configuration", "catdir.Item1"));
  CatDir.SetItem(2, Tr("Configuration", "catdir.Item2"));
  Mode.SetItem(0, Tr("Configuration", "mode.Item0"));
  Mode.SetItem(1, Tr("Configuration", "mode.Item1"));
  Mode.SetItem(2, Tr("Configuration", "mode.Item2"));
  Mode.SetItem(3, Tr("Configuration", "mode.Item3"));
  StolikSwitch.SetItem(0, Tr("Configuration", "stolikswitch.Item0"));
  StolikSwitch.SetItem(1, Tr("Configuration", "stolikswitch.Item1"));
  StolikSwitch.SetItem(2, Tr("Configuration", "stolikswitch.Item2"));
  radiounit.SetCaption(Tr("Configuration", "radioUnit.caption"));
  Heavy.SetCaption(Tr("Configuration", "heavy.caption"));
  AddFrame.SetCaption(Tr("Configuration", "AddFrame.caption"));
  rgKatObrotu.SetCaption(Tr("Configuration", "rgKatObrotu.caption"));
  rgKatObrotu.SetItem(0, Tr("Configuration", "rgKatObrotuItem0"));
  rgKatObrotu.SetItem(1, Tr("Configuration", "rgKatObrotuItem1"));
  rgAlgorytmObrotowego.SetCaption(Tr("Configuration", "rgAlgorytmObrotowego.caption"));
  rgAlgorytmObrotowego.SetItem(0, Tr("Configuration", "rgAlgorytmObrotowegoItem0"));
  rgAlgorytmObrotowego.SetItem(1, Tr("Configuration", "rgAlgorytmObrotowegoItem1"));

  tabObrotowe.SetVisible(HasSwitch(QStringLiteral("RotaryCutExt")));

  if (ExeDir.isEmpty()) ExeDir = ProgramFolder();

  // Build date: the modification date of the program's own file.
  QFileInfo exe(ProgramFolder() + QString::fromLatin1(ExeFileName));
  if (!exe.isFile()) exe = QFileInfo(QCoreApplication::applicationFilePath());
  buildDate_ = exe.isFile() ? QLocale().toString(exe.lastModified().date(), QLocale::ShortFormat)
                            : QStringLiteral("Nieznana");
  BuildDate = buildDate_.toUtf8();

  try {
    LoadGlobalSettings();
    LoadKonfig(GlobalSettings().SettingsFile);
  } catch (const IoError& e) {
    ShowMessageBox(Tr("Configuration", "bladPlikuUstawien") + QString::fromStdString(e.what()),
                   true);
  }

  caption_ = GlobalSettings().SettingsFile;
  if (KonfigHooks().ClearStatusBar) KonfigHooks().ClearStatusBar();

  Comnumber.SetItemIndex(GlobalSettings().PortIndex);
  CurrentUnit = std::max(0, radiounit.ItemIndex());
  portChanged_ = false;
  if (KonfigHooks().LoadCalibration) KonfigHooks().LoadCalibration();
}

void TDlgkonfig::FormActivate() {
  calibrationChanged_ = false;

  ApplyMachineLimits();

  updateactiv();

  portChanged_ = false;
  Comnumber.SetItemIndex(GlobalSettings().PortIndex);

  // The snapshot for Cancel: kept in memory as well, so that Cancel restores
  // the values even when the file cannot be written or is gone.
  snapshot_ = SettingsText();
  snapshotInFile_ = false;
  try {
    SaveKonfig(ProgramFolder() + QString::fromLatin1(SnapshotFileName));
    snapshotInFile_ = true;
  } catch (const IoError& e) {
    ShowMessageBox(Tr("Configuration", "bladPlikuUstawien") + QString::fromStdString(e.what()),
                   true);
  }
}

void TDlgkonfig::ApplyMachineLimits() {
  const auto& h = KonfigHooks();
  szybkoscObrobki.SetMaxValue(h.MaxCuttingSpeed ? h.MaxCuttingSpeed() : 1500.0);
  if (h.FamilyJX && h.FamilyJX()) {
    PrzeSpeed.SetMaxValue(1000);
  } else {
    PrzeSpeed.SetMaxValue(h.MaxTravelSpeed ? h.MaxTravelSpeed() : 3000.0);
  }
  // A speed above the machine's limit never stays in force: jobs are written
  // with these values even while the dialog is not shown.
  for (TFltEditU* speed : {&szybkoscObrobki, &PrzeSpeed}) {
    if (speed->Value() > speed->MaxValue()) speed->SetValue(speed->MaxValue());
  }
}

void TDlgkonfig::FormDeactivate() {
  if (portChanged_) {
    GlobalSettings().PortIndex = Comnumber.ItemIndex();
    SaveGlobalSettings();
  }
  CurrentUnit = std::max(0, radiounit.ItemIndex());
}

void TDlgkonfig::FormDestroy() {
  // The last write of the record happens as the program ends, where nobody
  // above could catch a failure: it is shown here instead.
  try {
    SaveGlobalSettings();
  } catch (const IoError& e) {
    ShowMessageBox(Tr("Configuration", "bladPlikuUstawien") + QString::fromStdString(e.what()),
                   true);
  }
}

void TDlgkonfig::OkClick() {
  if (calibrationChanged_ && KonfigHooks().LoadCalibration) KonfigHooks().LoadCalibration();
  SaveGlobalSettings();
  if (AutoSave.Checked()) SaveKonfig(GlobalSettings().SettingsFile);
}

void TDlgkonfig::cancelClick() {
  // A "work.mc" that this showing could not write is an older one: the
  // snapshot in memory is used instead.
  const QString path = ProgramFolder() + QString::fromLatin1(SnapshotFileName);
  if ((snapshotInFile_ || snapshot_.isEmpty()) && QFileInfo(path).isFile()) {
    try {
      LoadKonfig(path);
      return;
    } catch (const IoError&) {
      // An unreadable snapshot: fall back to the one in memory.
    }
  }
  if (!snapshot_.isEmpty()) {
    LoadingGuard guard(loading_);
    ApplySettingsText(snapshot_);
  }
}

bool TDlgkonfig::zapisClick(const QString& fileName) {
  if (fileName.size() > TGlobalSettingsRecord::kMaxFileNameChars) {
    ShowMessageBox(Tr("Configuration", "nazwaPlikuZaDluga") + fileName, true);
    return false;
  }
  SaveKonfig(fileName);
  GlobalSettings().SetSettingsFile(fileName);
  caption_ = fileName;
  return true;
}

bool TDlgkonfig::OdczytClick(const QString& fileName) {
  if (fileName.size() > TGlobalSettingsRecord::kMaxFileNameChars) {
    ShowMessageBox(Tr("Configuration", "nazwaPlikuZaDluga") + fileName, true);
    return false;
  }
  LoadKonfig(fileName);
  GlobalSettings().SetSettingsFile(fileName);
  caption_ = fileName;
  return true;
}

// ---- enable rules and units ----

void TDlgkonfig::VIChange() {
  reprepare_ = true;
  if (Mode.ItemIndex() == 0) {
    const bool on = StolikSwitch.ItemIndex() != 2;
    Labelilkrok.SetEnabled(on);
    ilosckrokow.SetEnabled(on);
    Labelilobr.SetEnabled(on);
    il_obr_rys.SetEnabled(on);
  }
}

void TDlgkonfig::updateactiv() {
  VIChange();

  // Per mode: '1' enabled, '0' disabled, 'T' enabled unless no rotary device,
  // 'B' enabled with both feed directions, '-' unchanged.
  struct Rule {
    std::vector<TControl*> controls;
    const char* modes;
  };
  const std::vector<Rule> rules = {
      {{&CatDir}, "1110"},
      {{&Srednicamaterialu, &Labelsrednica}, "1101"},
      {{&Ynarzedzia, &LabelYnarzedzia}, "100-"},
      {{&Xnarzedzia, &LabelXnarzedzia}, "100-"},
      {{&szybkoscObrobki, &Labelspeed}, "1111"},
      {{&PrzeSpeed, &Labelprzestawcza}, "1101"},
      {{&work_power, &Labelpower, &CzasRozgrzewania, &Labelstarttime}, "1111"},
      {{&Wstrzymaj}, "1101"},
      {{&KierunekObrotow}, "1100"},
      {{&ilosckrokow, &Labelilkrok}, "T100"},
      {{&il_obr_rys, &Labelilobr}, "T100"},
      {{&dopasujKierunek}, "BB00"},
      {{&Xwrzeciona, &Ywrzeciona, &labelXwrzeciona, &Labelywrzeciona, &Xwrzecionaunit,
        &ywrzecionaunit},
       "1111"},
      {{&Pauza_w_kacie, &Labelpauza}, "1111"},
      {{&Labelsrednicaunit, &Labelprzespeed}, "1101"},
      {{&Heavy}, "110-"},
      {{&tabSeryjne, &rgKatObrotu}, "0001"},
  };
  const int mode = Mode.ItemIndex();
  if (mode >= 0 && mode <= 3) {
    for (const Rule& r : rules) {
      const char v = r.modes[mode];
      if (v == '-') continue;
      bool on = v == '1';
      if (v == 'T') on = StolikSwitch.ItemIndex() != 2;
      if (v == 'B') on = CatDir.ItemIndex() == 2;
      for (TControl* c : r.controls) c->SetEnabled(on);
    }
  }

  const QString u = UnitName();
  Labelsrednicaunit.SetCaption("[" + u + "]");
  LabelszybkoscObrobki.SetCaption("[" + u + Tr("Configuration", "naMinute"));
  Labelprzespeed.SetCaption("[" + u + Tr("Configuration", "naMinute"));
  for (TLabel* l : {&Xwrzecionaunit, &ywrzecionaunit, &XstolikaUnit, &YstolikaUnit, &xnarzedziaunit,
                    &Ynarzedziaunit})
    l->SetCaption("[" + u + "]");

  // Decimals for the unit; each edit uses them from its next display on.
  const int digits = CurrentUnit == 1 ? 2 : (CurrentUnit == 2 ? 3 : 1);
  for (TFltEditU* e : UnitEdits()) e->SetDigit(digits);

  SetStepsForUnit();

  const int dir = CatDir.ItemIndex();
  if (dir >= 0 && KonfigHooks().SetProjectDirections)
    KonfigHooks().SetProjectDirections(dir == 1 ? -1 : 1);
}

void TDlgkonfig::SetStepsForUnit() {
  const double step = CurrentUnit == 1 ? 25.4 : (CurrentUnit == 2 ? 30.48 : 100.0);
  Srednicamaterialu.SetIncrement(step);
  szybkoscObrobki.SetIncrement(step);
  PrzeSpeed.SetIncrement(step);
}

void TDlgkonfig::radiounitClick() {
  // No unit chosen would show every length as 0 and store what is typed as
  // 0 mm: the choice falls back to mm (which runs this handler again).
  if (radiounit.ItemIndex() < 0) {
    radiounit.SetItemIndex(0);
    return;
  }
  CurrentUnit = radiounit.ItemIndex();
  updateactiv();
  for (TFltEditU* e : {&Srednicamaterialu, &szybkoscObrobki, &PrzeSpeed, &Xnarzedzia, &Ynarzedzia,
                       &Xwrzeciona, &Ywrzeciona, &Xstolika, &Ystolika})
    e->SetEditUnit(CurrentUnit);
}

void TDlgkonfig::ComnumberClick() { portChanged_ = true; }

void TDlgkonfig::feKalibracjaXChange() { calibrationChanged_ = true; }

void TDlgkonfig::btnPobierzXYwrzecionaClick() {
  if (!(PlotState.Status & 0x40)) {
    ShowMessageBox(Tr("Configuration", "wykonajBazowaniePrzed"), true);
    return;
  }
  Xwrzeciona.SetValue(PlotState.X / 100.0);
  Ywrzeciona.SetValue(PlotState.Y / 100.0);
}

void TDlgkonfig::btnPobierzXYstolikaClick() {
  if (!(PlotState.Status & 0x40)) {
    ShowMessageBox(Tr("Configuration", "wykonajBazowaniePrzed"), true);
    return;
  }
  Xstolika.SetValue(PlotState.X / 100.0);
  Ystolika.SetValue(PlotState.Y / 100.0);
}

void TDlgkonfig::rgAlgorytmObrotowegoClick() {
  const QString path = ProgramFolder() + (rgAlgorytmObrotowego.ItemIndex() == 0
                                              ? QStringLiteral("Images/RotaryCut1.bmp")
                                              : QStringLiteral("Images/RotaryCut2.bmp"));
  if (QFileInfo(path).isFile()) {
    iObrotoweSchemat.SetHint(QString());
    iObrotoweSchemat.LoadPicture(path);
  } else {
    iObrotoweSchemat.ClearPicture();
    iObrotoweSchemat.SetHint(Tr("Universal", "txtPlikuBrak") + " :" + "\n\r" + path);
  }
}

// ---- settings text files ----

QString TDlgkonfig::ResolveFileName(const QString& fileName) {
  if (fileName.isEmpty() || !QFileInfo(fileName).isRelative()) return fileName;
  return ProgramFolder() + fileName;
}

QByteArray TDlgkonfig::SettingsText() const {
  QByteArray out;
  for (TControl* c : components_) {
    if (!IsStoredKind(*c)) continue;
    out += c->Name().toLatin1();
    out += " := ";
    out += SettingsValueText(*c).toLatin1();
    out += "\r\n";
  }
  return out;
}

void TDlgkonfig::SaveKonfig(const QString& fileName) const {
  WriteFile(ResolveFileName(fileName), SettingsText());
}

QStringList TDlgkonfig::ApplySettingsText(const QByteArray& text) {
  // Every line is converted first; only then are the good ones applied, in
  // file order, so a bad line never stops the load half-way.
  struct Pending {
    TControl* control;
    int index = 0;
    double number = 0;
    TCheckBoxState state = TCheckBoxState::cbUnchecked;
  };
  std::vector<Pending> pending;
  QStringList skipped;
  for (const QString& line : SplitKonfigLines(text)) {
    const TKonfigLine kv = ReadKonfigLine(line);
    if (kv.key.isEmpty()) continue;
    TControl* c = FindStored(kv.key);
    if (!c) continue;
    Pending p{c};
    if (dynamic_cast<TTntRadioGroup*>(c)) {
      const auto v = KonfigIntValue(kv.value);
      if (!v) {
        skipped.append(line);
        continue;
      }
      p.index = *v;
    } else if (dynamic_cast<TTntCheckBox*>(c)) {
      p.state = StrToCheckBoxState(kv.value);
    } else {
      const auto v = KonfigFloatValue(kv.value);
      if (!v) {
        skipped.append(line);
        continue;
      }
      p.number = *v;
    }
    pending.push_back(p);
  }
  for (const Pending& p : pending) {
    if (auto* r = dynamic_cast<TTntRadioGroup*>(p.control))
      r->SetItemIndex(p.index);
    else if (auto* b = dynamic_cast<TTntCheckBox*>(p.control))
      b->SetState(p.state);
    else if (auto* e = dynamic_cast<TNumericEdit*>(p.control))
      e->SetValue(p.number);
  }
  ApplyMachineLimits();
  return skipped;
}

TKonfigLoadResult TDlgkonfig::LoadKonfig(const QString& fileName) {
  LoadingGuard guard(loading_);
  TKonfigLoadResult result;
  const QString path = ResolveFileName(fileName);
  const QFileInfo info(path);
  if (!info.isFile()) {
    ShowMessageBox(Tr("Configuration", "brakKonfiga"), false);
    // Only the default settings file is created anew, and from the defaults:
    // a missing file of another name never overwrites it.
    const QString defaultPath = ProgramFolder() + QString::fromLatin1(SettingsFileName);
    if (QDir::cleanPath(QFileInfo(defaultPath).absoluteFilePath()) ==
        QDir::cleanPath(info.absoluteFilePath())) {
      const TDlgkonfig defaults;
      defaults.SaveKonfig(defaultPath);
    }
    return result;
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw IoError("cannot open " + path.toStdString() + ": " + f.errorString().toStdString());
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError)
    throw IoError("cannot read " + path.toStdString() + ": " + f.errorString().toStdString());
  f.close();
  result.found = true;
  result.skippedLines = ApplySettingsText(bytes);
  if (!result.skippedLines.isEmpty())
    ShowMessageBox(Tr("Configuration", "zlyWierszKonfiga") + "\r\n" +
                       result.skippedLines.join(QStringLiteral("\r\n")),
                   true);
  return result;
}

// ---- the record file ----

void TDlgkonfig::SaveGlobalSettings() {
  if (KonfigHooks().OpenDialogFilterIndex)
    GlobalSettings().OpenFilterIndex = KonfigHooks().OpenDialogFilterIndex();
  WriteFile(ProgramFolder() + QString::fromLatin1(GlobalFileName), GlobalSettings().Encode());
}

void TDlgkonfig::DefaultGlobalSettings() {
  ResetGlobalSettings();
  SaveGlobalSettings();
}

void TDlgkonfig::LoadGlobalSettings() {
  // A missing, unreadable or short file gives the defaults, written anew; a
  // failing write of them is no reason to stop the start.
  QFile f(ProgramFolder() + QString::fromLatin1(GlobalFileName));
  std::optional<TGlobalSettingsRecord> record;
  if (f.open(QIODevice::ReadOnly))
    record = TGlobalSettingsRecord::Decode(f.read(TGlobalSettingsRecord::kSize));
  f.close();
  if (record) {
    GlobalSettings() = *record;
    return;
  }
  try {
    DefaultGlobalSettings();
  } catch (const IoError&) {
  }
}

// ---- the one instance ----

TDlgkonfig& Dlgkonfig() {
  auto& p = Instance();
  if (!p) p = std::make_unique<TDlgkonfig>();
  return *p;
}

void ResetDlgkonfig() {
  Instance() = std::make_unique<TDlgkonfig>();
  ResetGlobalSettings();
  KonfigHooks() = TKonfigHooks();
}

}  // namespace vm
