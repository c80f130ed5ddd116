// The settings store: first start, loading and saving settings files, Cancel,
// enable rules and the dialog's handlers.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "support/test_support.h"

namespace vm {
namespace {

// A fresh store whose program folder is an empty temporary folder.
class KonfigStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ResetDrawingGlobals();
    ExeDir = dir_.path() + "/";
    ResetDlgkonfig();
  }
  void TearDown() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    QLocale::setDefault(QLocale::c());
  }
  QString Path(const QString& name) const { return ExeDir + name; }
  QByteArray Read(const QString& name) const { return test::ReadAll(Path(name)); }
  void Write(const QString& name, const QByteArray& text) {
    ASSERT_TRUE(test::WriteAll(Path(name), text));
  }
  static TDlgkonfig& K() { return Dlgkonfig(); }

  QTemporaryDir dir_;
};

const char kDefaultSettings[] =
    "Mode := 2\r\n"
    "AutoSave := cbUnchecked\r\n"
    "radiounit := 0\r\n"
    "CatDir := 2\r\n"
    "work_power := 20\r\n"
    "CzasRozgrzewania := 1000\r\n"
    "Wstrzymaj := cbUnchecked\r\n"
    "KierunekObrotow := 0\r\n"
    "dopasujKierunek := cbChecked\r\n"
    "il_obr_rys := 0\r\n"
    "Pauza_w_kacie := 200\r\n"
    "ilosckrokow := 8\r\n"
    "Srednicamaterialu := 500\r\n"
    "szybkoscObrobki := 1000\r\n"
    "PrzeSpeed := 1000\r\n"
    "skala := 100\r\n"
    "Heavy := cbUnchecked\r\n"
    "StolikSwitch := 0\r\n"
    "AddFrame := cbChecked\r\n"
    "Comnumber := 0\r\n"
    "Xwrzeciona := 12\r\n"
    "Ywrzeciona := 730\r\n"
    "Xstolika := 1000\r\n"
    "Ystolika := 250\r\n"
    "Xnarzedzia := 0\r\n"
    "Ynarzedzia := 0\r\n"
    "feKalibracjaX := 0\r\n"
    "feKalibracjaY := 0\r\n"
    "rgBazowanie := 0\r\n"
    "rgKatObrotu := 0\r\n"
    "rgAlgorytmObrotowego := 0\r\n";

TEST_F(KonfigStore, FirstStartWritesRecordAndDefaultSettings) {
  ScopedMessageRecorder boxes;
  K().FormCreate();

  const QByteArray record = Read("Velmarosta.gcf");
  ASSERT_EQ(record.size(), 864);
  EXPECT_EQ(record, TGlobalSettingsRecord().Encode());
  EXPECT_EQ(Read("Velmarosta.tcf"), QByteArray(kDefaultSettings));
  ASSERT_EQ(boxes.requests.size(), 1);
  EXPECT_EQ(boxes.requests[0].icon, MessageIcon::Information);
  EXPECT_EQ(K().Caption(), "Velmarosta.tcf");
  EXPECT_FALSE(K().Loading());

  // A second start finds both files and asks nothing.
  ResetDlgkonfig();
  ScopedMessageRecorder again;
  K().FormCreate();
  EXPECT_TRUE(again.requests.isEmpty());
}

TEST_F(KonfigStore, CreationLoadsTheRecordsFileAndPort) {
  TGlobalSettingsRecord record;
  record.SettingsFile = "mine.tcf";
  record.PortIndex = 3;
  Write("Velmarosta.gcf", record.Encode());
  Write("mine.tcf", "Comnumber := 1\r\nradiounit := 2\r\nfeKalibracjaY := -2\r\n");
  int calibrations = 0;
  KonfigHooks().LoadCalibration = [&calibrations] { ++calibrations; };
  SetCommandLine({"rotarycutext"});
  K().FormCreate();
  SetCommandLine({});
  EXPECT_EQ(K().Caption(), "mine.tcf");
  EXPECT_EQ(K().Comnumber.ItemIndex(), 3);  // the record's port wins
  EXPECT_FALSE(K().PortChanged());
  EXPECT_EQ(CurrentUnit, 2);
  EXPECT_EQ(K().feKalibracjaY.Value(), -2);
  EXPECT_EQ(calibrations, 1);
  EXPECT_TRUE(K().tabObrotowe.Visible());
  EXPECT_FALSE(QFile::exists(Path("Velmarosta.tcf")));
}

TEST_F(KonfigStore, LoadAppliesMatchingKeysOnlyAndClamps) {
  Write("a.tcf",
        "skala := 250\r\n"
        "unknown := 5\r\n"
        "mode := 0\r\n"          // other case: not the key
        "Mode := 7\r\n"          // beyond the items: the last one
        "CatDir := -5\r\n"       // below: nothing chosen
        "work_power := 150\r\n"  // above the range
        "ilosckrokow := 0\r\n"   // below the range
        "AutoSave := cbchecked\r\n"
        "Heavy := cbChecked\r\n"
        "AddFrame := yes\r\n"
        "Srednicamaterialu := 3500\r\n"
        "\r\n");
  ScopedMessageRecorder boxes;
  const TKonfigLoadResult r = K().LoadKonfig("a.tcf");
  EXPECT_TRUE(r.found);
  EXPECT_TRUE(r.skippedLines.isEmpty());
  EXPECT_TRUE(boxes.requests.isEmpty());
  EXPECT_EQ(K().skala.Value(), 250);
  EXPECT_EQ(K().Mode.ItemIndex(), 3);
  EXPECT_EQ(K().CatDir.ItemIndex(), -1);
  EXPECT_EQ(K().work_power.Value(), 100);
  EXPECT_EQ(K().ilosckrokow.Value(), 1);
  EXPECT_FALSE(K().AutoSave.Checked());
  EXPECT_TRUE(K().Heavy.Checked());
  EXPECT_FALSE(K().AddFrame.Checked());
  EXPECT_EQ(K().Srednicamaterialu.Value(), 3000);
  // Untouched controls keep their values.
  EXPECT_EQ(K().Pauza_w_kacie.Value(), 200);
}

TEST_F(KonfigStore, EveryEditHasItsKindRangeAndStep) {
  // Kind, range and (plain edits) step of every stored edit: a file beyond
  // both ends is clamped, and a click steps from the default.
  struct Row {
    const char* name;
    const char* kind;
    double min, max, step;  // step 0: the unit edits' magnitude rule
  };
  const Row rows[] = {
      {"work_power", "TFltEdit", 0, 100, 1},
      {"CzasRozgrzewania", "TFltEdit", 0, 10000, 100},
      {"il_obr_rys", "TFltEdit", 0, 1000, 1},
      {"Pauza_w_kacie", "TFltEdit", 0, 10000, 10},
      {"ilosckrokow", "TFltEdit", 1, 50000, 1},
      {"Srednicamaterialu", "TFltEditU", 0, 3000, 0},
      {"szybkoscObrobki", "TFltEditU", 20, 1500, 0},  // a load lowers it to the machine's limit
      {"PrzeSpeed", "TFltEditU", 20, 3000, 0},
      {"skala", "TFltEdit", 1, 1000, 1},
      {"Xwrzeciona", "TFltEditU", -1000, 1000, 0},
      {"Ywrzeciona", "TFltEditU", 0, 2000, 0},
      {"Xstolika", "TFltEditU", 0, 3000, 0},
      {"Ystolika", "TFltEditU", 0, 3000, 0},
      {"Xnarzedzia", "TFltEditU", -1000, 1000, 0},
      {"Ynarzedzia", "TFltEditU", -1000, 1000, 0},
      {"feKalibracjaX", "TFltEdit", -5, 5, 1},
      {"feKalibracjaY", "TFltEdit", -5, 5, 1},
  };
  int edits = 0;
  for (TControl* c : K().StoredControls()) edits += dynamic_cast<TNumericEdit*>(c) != nullptr;
  EXPECT_EQ(edits, static_cast<int>(std::size(rows)));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto* e = dynamic_cast<TNumericEdit*>(K().FindStored(r.name));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ClassName(), r.kind);
    const double before = e->Value();
    if (r.step > 0) {
      e->UpClick();
      EXPECT_EQ(e->Value(), std::min(before + r.step, r.max));
      EXPECT_EQ(e->ffFormat(), TFloatFormat::ffGeneral);
    } else {
      EXPECT_EQ(e->ffFormat(), TFloatFormat::ffFixed);
      EXPECT_EQ(e->Precision(), 8);
    }
    Write("r.tcf", QByteArray(r.name) + " := 99999\r\n");
    K().LoadKonfig("r.tcf");
    EXPECT_EQ(e->Value(), r.max);
    Write("r.tcf", QByteArray(r.name) + " := -99999\r\n");
    K().LoadKonfig("r.tcf");
    EXPECT_EQ(e->Value(), r.min);
  }
}

TEST_F(KonfigStore, BadLineIsSkippedAndReportedTheRestApplied) {
  Write("bad.tcf",
        "skala := 50\r\n"
        "Mode := x\r\n"
        "work_power := abc\r\n"
        "CzasRozgrzewania := 1.5.3\r\n"
        "Pauza_w_kacie := 300\r\n");
  ScopedMessageRecorder boxes;
  const TKonfigLoadResult r = K().LoadKonfig("bad.tcf");
  EXPECT_EQ(r.skippedLines,
            QStringList({"Mode := x", "work_power := abc", "CzasRozgrzewania := 1.5.3"}));
  EXPECT_EQ(K().skala.Value(), 50);
  EXPECT_EQ(K().Pauza_w_kacie.Value(), 300);  // after the bad lines
  EXPECT_EQ(K().Mode.ItemIndex(), 2);
  EXPECT_EQ(K().work_power.Value(), 20);
  EXPECT_FALSE(K().Loading());
  ASSERT_EQ(boxes.requests.size(), 1);
  EXPECT_TRUE(boxes.lastText().contains("work_power := abc"));
  // The file is closed again: it can be replaced.
  EXPECT_TRUE(QFile::remove(Path("bad.tcf")));
}

TEST_F(KonfigStore, MissingFileOfOtherNameLeavesDefaultFileAlone) {
  Write("Velmarosta.tcf", "skala := 77\r\n");
  K().skala.SetValue(55);
  ScopedMessageRecorder boxes;
  const TKonfigLoadResult r = K().LoadKonfig("gone.tcf");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(boxes.requests.size(), 1);
  EXPECT_EQ(Read("Velmarosta.tcf"), QByteArray("skala := 77\r\n"));
  EXPECT_FALSE(QFile::exists(Path("gone.tcf")));
  EXPECT_EQ(K().skala.Value(), 55);
  EXPECT_FALSE(K().Loading());
}

TEST_F(KonfigStore, MissingDefaultFileIsCreatedFromDefaults) {
  K().skala.SetValue(55);
  ScopedMessageRecorder boxes;
  K().LoadKonfig("Velmarosta.tcf");
  EXPECT_EQ(Read("Velmarosta.tcf"), QByteArray(kDefaultSettings));
  EXPECT_EQ(K().skala.Value(), 55);
}

TEST_F(KonfigStore, RoundTripIsExactInACommaLocale) {
  for (const QLocale& locale :
       {QLocale(QLocale::Polish, QLocale::Poland), QLocale(QLocale::German, QLocale::Germany)}) {
    SCOPED_TRACE(locale.name().toStdString());
    QLocale::setDefault(locale);
    ResetDlgkonfig();
    K().radiounit.SetItemIndex(1);  // inch: the unit edits show rounded texts
    K().Srednicamaterialu.SetValue(123.456789);
    K().szybkoscObrobki.SetValue(0.1 + 0.2 + 100);
    K().Xwrzeciona.SetValue(-0.1);
    K().skala.SetValue(33.3);
    K().feKalibracjaX.SetValue(-1.25);
    K().il_obr_rys.SetValue(0.00001);
    K().SaveKonfig("rt.tcf");
    const QByteArray text = Read("rt.tcf");
    EXPECT_FALSE(text.contains(',')) << text.constData();
    EXPECT_FALSE(QString::fromLatin1(text).contains(QRegularExpression("[0-9][eE]")))
        << text.constData();
    EXPECT_TRUE(text.contains("il_obr_rys := 0.00001\r\n"));
    EXPECT_TRUE(text.contains("Srednicamaterialu := 123.456789\r\n"));

    ResetDlgkonfig();
    K().LoadKonfig("rt.tcf");
    EXPECT_EQ(K().radiounit.ItemIndex(), 1);
    EXPECT_EQ(K().Srednicamaterialu.Value(), 123.456789);
    EXPECT_EQ(K().szybkoscObrobki.Value(), 0.1 + 0.2 + 100);
    EXPECT_EQ(K().Xwrzeciona.Value(), -0.1);
    EXPECT_EQ(K().skala.Value(), 33.3);
    EXPECT_EQ(K().feKalibracjaX.Value(), -1.25);
    EXPECT_EQ(K().il_obr_rys.Value(), 0.00001);
    EXPECT_EQ(K().SettingsText(), text);
  }
}

TEST_F(KonfigStore, BothDecimalSeparatorsRead) {
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  Write("s.tcf", "skala := 12.5\r\nwork_power := 7,25\r\n");
  K().LoadKonfig("s.tcf");
  EXPECT_EQ(K().skala.Value(), 12.5);
  EXPECT_EQ(K().work_power.Value(), 7.25);
  EXPECT_EQ(K().skala.Text(), "12,5");
}

TEST_F(KonfigStore, UnitChangeKeepsMillimetres) {
  K().radiounit.SetItemIndex(1);
  EXPECT_EQ(CurrentUnit, 1);
  EXPECT_EQ(K().Srednicamaterialu.Text(), "19.685");
  EXPECT_EQ(K().Srednicamaterialu.Value(), 500);
  EXPECT_EQ(K().Labelsrednicaunit.Caption(), "[in]");
  K().SaveKonfig("u.tcf");
  EXPECT_TRUE(Read("u.tcf").contains("Srednicamaterialu := 500\r\n"));
  K().radiounit.SetItemIndex(2);
  EXPECT_EQ(K().Srednicamaterialu.Text(), "1.6404");
  K().radiounit.SetItemIndex(0);
  EXPECT_EQ(K().Srednicamaterialu.Value(), 500);
  EXPECT_EQ(K().Srednicamaterialu.Text(), "500.000");
  // No unit chosen would turn every length into 0: mm is taken instead.
  K().radiounit.SetItemIndex(-1);
  EXPECT_EQ(K().radiounit.ItemIndex(), 0);
  EXPECT_EQ(K().Srednicamaterialu.Value(), 500);
}

TEST_F(KonfigStore, CancelRestoresTheValuesOfTheActivation) {
  K().FormActivate();
  EXPECT_TRUE(QFile::exists(Path("work.mc")));
  K().Mode.SetItemIndex(0);
  K().radiounit.SetItemIndex(1);
  K().Srednicamaterialu.SetValue(42);
  K().Comnumber.SetItemIndex(3);
  K().AddFrame.SetChecked(false);
  K().cancelClick();
  EXPECT_EQ(K().SettingsText(), QByteArray(kDefaultSettings));
  EXPECT_EQ(CurrentUnit, 0);
  // The cancelled port change still counts as a change: the former index is
  // stored again and the port reopened.
  EXPECT_TRUE(K().PortChanged());
  K().FormDeactivate();
  EXPECT_EQ(GlobalSettings().PortIndex, 0);
}

TEST_F(KonfigStore, CancelWithoutSnapshotFileStillRestores) {
  Write("Velmarosta.tcf", "skala := 77\r\n");
  K().FormActivate();
  K().skala.SetValue(5);
  K().Mode.SetItemIndex(1);
  ASSERT_TRUE(QFile::remove(Path("work.mc")));
  ScopedMessageRecorder boxes;
  K().cancelClick();
  EXPECT_EQ(K().skala.Value(), 100);
  EXPECT_EQ(K().Mode.ItemIndex(), 2);
  EXPECT_TRUE(boxes.requests.isEmpty());
  EXPECT_EQ(Read("Velmarosta.tcf"), QByteArray("skala := 77\r\n"));
  EXPECT_FALSE(K().Loading());
}

TEST_F(KonfigStore, CancelIgnoresASnapshotFileThisShowingDidNotWrite) {
  Write("work.mc", "skala := 5\r\n");  // left behind by an earlier showing
  const QString folder = ExeDir;
  ExeDir = Path("no/such/folder/");  // this showing cannot write its snapshot
  {
    ScopedMessageRecorder boxes;
    K().FormActivate();
    EXPECT_EQ(boxes.requests.size(), 1);
  }
  ExeDir = folder;
  K().skala.SetValue(50);
  K().cancelClick();
  EXPECT_EQ(K().skala.Value(), 100);
}

TEST_F(KonfigStore, EnableRulesFollowTheMode) {
  // Per mode 0..3: '1' enabled, '0' disabled.
  struct Row {
    const char* name;
    TControl* control;
    const char* modes;
  };
  TDlgkonfig& k = K();
  const std::vector<Row> rows = {
      {"CatDir", &k.CatDir, "1110"},
      {"Srednicamaterialu", &k.Srednicamaterialu, "1101"},
      {"PrzeSpeed", &k.PrzeSpeed, "1101"},
      {"Wstrzymaj", &k.Wstrzymaj, "1101"},
      {"KierunekObrotow", &k.KierunekObrotow, "1100"},
      {"ilosckrokow", &k.ilosckrokow, "1100"},
      {"Labelilobr", &k.Labelilobr, "1100"},
      {"dopasujKierunek", &k.dopasujKierunek, "1100"},  // CatDir is 2
      {"szybkoscObrobki", &k.szybkoscObrobki, "1111"},
      {"tabSeryjne", &k.tabSeryjne, "0001"},
      {"rgKatObrotu", &k.rgKatObrotu, "0001"},
  };
  for (int mode : {0, 1, 2, 3}) {
    k.Mode.SetItemIndex(mode);
    for (const Row& r : rows)
      EXPECT_EQ(r.control->Enabled(), r.modes[mode] == '1') << r.name << " mode " << mode;
  }
  // Mode 3 leaves the tool offsets and Heavy as mode 2 left them (disabled).
  EXPECT_FALSE(k.Xnarzedzia.Enabled());
  EXPECT_FALSE(k.Heavy.Enabled());
  k.Mode.SetItemIndex(0);
  EXPECT_TRUE(k.Xnarzedzia.Enabled());
  k.StolikSwitch.SetItemIndex(2);  // no rotary device
  EXPECT_FALSE(k.ilosckrokow.Enabled());
  EXPECT_FALSE(k.Labelilkrok.Enabled());
  k.CatDir.SetItemIndex(0);
  EXPECT_FALSE(k.dopasujKierunek.Enabled());
  EXPECT_TRUE(k.ReprepareProjects());
}

TEST_F(KonfigStore, FeedDirectionGoesToEveryProject) {
  std::vector<int> seen;
  KonfigHooks().SetProjectDirections = [&seen](int d) { seen.push_back(d); };
  K().CatDir.SetItemIndex(1);
  K().CatDir.SetItemIndex(0);
  K().CatDir.SetItemIndex(2);
  EXPECT_EQ(seen, std::vector<int>({-1, 1, 1}));
}

TEST_F(KonfigStore, ActivationTakesTheMachineSpeedLimits) {
  K().PrzeSpeed.SetValue(2500);
  K().FormActivate();
  EXPECT_EQ(K().szybkoscObrobki.MaxValue(), 1500);
  EXPECT_EQ(K().PrzeSpeed.MaxValue(), 3000);
  EXPECT_EQ(K().PrzeSpeed.Value(), 2500);
  KonfigHooks().FamilyJX = [] { return true; };
  KonfigHooks().MaxCuttingSpeed = [] { return 1000.0; };
  K().FormActivate();
  EXPECT_EQ(K().szybkoscObrobki.MaxValue(), 1000);
  EXPECT_EQ(K().PrzeSpeed.MaxValue(), 1000);
  EXPECT_EQ(K().PrzeSpeed.Value(), 1000);
}

// A settings file may hold a speed the machine does not allow: it is lowered
// as the file is loaded, not only when the dialog is next shown, because jobs
// are written with the values in force.
TEST_F(KonfigStore, SpeedsAboveTheMachinesLimitsAreLoweredWhenLoaded) {
  Write("a.tcf", "szybkoscObrobki := 2000\r\nPrzeSpeed := 2800\r\n");
  K().LoadKonfig("a.tcf");
  EXPECT_EQ(K().szybkoscObrobki.Value(), 1500);
  EXPECT_EQ(K().PrzeSpeed.Value(), 2800);
  KonfigHooks().FamilyJX = [] { return true; };
  KonfigHooks().MaxCuttingSpeed = [] { return 1000.0; };
  K().LoadKonfig("a.tcf");
  EXPECT_EQ(K().szybkoscObrobki.Value(), 1000);
  EXPECT_EQ(K().PrzeSpeed.Value(), 1000);
  EXPECT_TRUE(K().SettingsText().contains("szybkoscObrobki := 1000\r\n"));
}

TEST_F(KonfigStore, ChangeEffectsOfLoadedValues) {
  int calibrations = 0;
  KonfigHooks().LoadCalibration = [&calibrations] { ++calibrations; };
  K().FormActivate();
  EXPECT_FALSE(K().CalibrationChanged());
  Write("c.tcf", "feKalibracjaX := 1.5\r\nComnumber := 2\r\nradiounit := 2\r\n");
  K().LoadKonfig("c.tcf");
  EXPECT_TRUE(K().CalibrationChanged());
  EXPECT_TRUE(K().PortChanged());
  EXPECT_EQ(CurrentUnit, 2);
  EXPECT_EQ(K().Xstolika.Text(), "3.2808");
  K().OkClick();
  EXPECT_EQ(calibrations, 1);
  K().FormDeactivate();
  EXPECT_EQ(GlobalSettings().PortIndex, 2);
  EXPECT_EQ(Read("Velmarosta.gcf").mid(856, 4), QByteArray("\x02\0\0\0", 4));
}

TEST_F(KonfigStore, OkWithAutoSaveWritesTheCurrentFile) {
  ASSERT_TRUE(GlobalSettings().SetSettingsFile("mine.tcf"));
  K().skala.SetValue(10);
  K().OkClick();
  EXPECT_FALSE(QFile::exists(Path("mine.tcf")));
  K().AutoSave.SetChecked(true);
  K().OkClick();
  EXPECT_TRUE(Read("mine.tcf").contains("skala := 10\r\n"));
}

TEST_F(KonfigStore, SaveAsAndLoadTakeTheNameUnlessTooLong) {
  const QString name = Path("other.tcf");
  EXPECT_TRUE(K().zapisClick(name));
  EXPECT_EQ(GlobalSettings().SettingsFile, name);
  EXPECT_EQ(K().Caption(), name);

  const QString longName = Path(QString(300, 'n') + ".tcf");
  ScopedMessageRecorder boxes;
  EXPECT_FALSE(K().zapisClick(longName));
  EXPECT_FALSE(K().OdczytClick(longName));
  EXPECT_EQ(boxes.requests.size(), 2);
  EXPECT_EQ(GlobalSettings().SettingsFile, name);
  EXPECT_EQ(K().Caption(), name);
  EXPECT_FALSE(QFile::exists(longName));
  // A file that cannot be written is an error, and the name is not taken.
  EXPECT_THROW(K().zapisClick(Path("no/such/folder/x.tcf")), IoError);
  EXPECT_EQ(GlobalSettings().SettingsFile, name);
}

TEST_F(KonfigStore, RecordWriteFailureAtTheEndIsShownNotThrown) {
  ExeDir = Path("no/such/folder/");
  ScopedMessageRecorder boxes;
  EXPECT_THROW(K().SaveGlobalSettings(), IoError);
  EXPECT_NO_THROW(K().FormDestroy());
  ASSERT_EQ(boxes.requests.size(), 1);
  EXPECT_EQ(boxes.requests[0].icon, MessageIcon::Error);
}

TEST_F(KonfigStore, TakingThePositionNeedsHoming) {
  PlotState.X = 12345;
  PlotState.Y = 67800;
  {
    ScopedMessageRecorder boxes;
    K().btnPobierzXYwrzecionaClick();
    ASSERT_EQ(boxes.requests.size(), 1);
    EXPECT_EQ(boxes.requests[0].icon, MessageIcon::Error);
    EXPECT_EQ(K().Xwrzeciona.Value(), 12);
  }
  PlotState.Status = 0x40;
  K().btnPobierzXYstolikaClick();
  EXPECT_EQ(K().Xstolika.Value(), 123.45);
  EXPECT_EQ(K().Ystolika.Value(), 678);
}

TEST_F(KonfigStore, SchemePictureOrHintNamingTheMissingFile) {
  K().rgAlgorytmObrotowego.SetItemIndex(1);
  EXPECT_EQ(K().iObrotoweSchemat.PictureSource(), TImage::Source::None);
  EXPECT_TRUE(K().iObrotoweSchemat.Hint().endsWith(" :\n\r" + Path("Images/RotaryCut2.bmp")));
  Write("Images/RotaryCut1.bmp", "BM");
  K().rgAlgorytmObrotowego.SetItemIndex(0);
  EXPECT_EQ(K().iObrotoweSchemat.PictureSource(), TImage::Source::File);
  EXPECT_TRUE(K().iObrotoweSchemat.Hint().isEmpty());
}

}  // namespace
}  // namespace vm
