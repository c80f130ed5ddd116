// The job settings gathered from the settings store, the machine link and the
// active project window.
#include <gtest/gtest.h>

#include "drawing/definicje.h"
#include "machine/job_settings.h"
#include "machine/machine_globals.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"

namespace vm {
namespace {

class JobWriterSettings : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    Machine.Reset();
  }
};

TEST_F(JobWriterSettings, AFreshStoreGivesTheDocumentedDefaults) {
  // The settings dialog's and the machine link's start values, written out:
  // a wrong default in the store or in JobSettings cannot hide behind the
  // other.
  const JobSettings s = CurrentJobSettings(JobPlainCutting, nullptr, 0, false);
  EXPECT_EQ(s.PrzeSpeed, 1000);
  EXPECT_EQ(s.szybkoscObrobki, 1000);
  EXPECT_EQ(s.work_power, 20);
  EXPECT_EQ(s.CzasRozgrzewania, 1000);
  EXPECT_EQ(s.Pauza_w_kacie, 200);
  EXPECT_FALSE(s.Wstrzymaj);
  EXPECT_FALSE(s.Heavy);
  EXPECT_EQ(s.skala, 100);
  EXPECT_EQ(s.il_obr_rys, 0);
  EXPECT_EQ(s.Ywrzeciona, 730);
  EXPECT_EQ(s.Xstolika, 1000);
  EXPECT_EQ(s.Ystolika, 250);
  EXPECT_EQ(s.Srednicamaterialu, 500);
  EXPECT_EQ(s.Mode, 2);
  EXPECT_EQ(s.StepsPerTurn, 50000);
  EXPECT_EQ(s.SpeedFactor, 1);
  EXPECT_EQ(s.MaxTravelSpeed, 3000);
  EXPECT_EQ(s.MaxCuttingSpeed, 1500);
  EXPECT_FALSE(s.FamilyJXFlag);
  EXPECT_EQ(s.CalibrationX, 1.0);
  EXPECT_EQ(s.CalibrationY, 1.0);
  EXPECT_EQ(s.PassNumber, 0);
  EXPECT_EQ(s.Width, 0);
}

TEST_F(JobWriterSettings, EveryValueComesFromItsSource) {
  TDlgkonfig& k = Dlgkonfig();
  k.PrzeSpeed.SetValue(1100);
  k.szybkoscObrobki.SetValue(900);
  k.work_power.SetValue(30);
  k.CzasRozgrzewania.SetValue(1500);
  k.Pauza_w_kacie.SetValue(700);
  k.Wstrzymaj.SetChecked(true);
  k.Heavy.SetChecked(true);
  k.skala.SetValue(120);
  k.il_obr_rys.SetValue(3);
  k.Ywrzeciona.SetValue(701);
  k.Ynarzedzia.SetValue(-2);
  k.Xstolika.SetValue(1001);
  k.Ystolika.SetValue(251);
  k.Xnarzedzia.SetValue(3);
  k.Srednicamaterialu.SetValue(444);
  k.StolikSwitch.SetItemIndex(1);
  k.rgAlgorytmObrotowego.SetItemIndex(1);
  k.Mode.SetItemIndex(1);
  Machine.StepsPerTurn = 250000;
  Machine.SpeedFactor = 3;
  Machine.MaxTravelSpeed = 1000;
  Machine.MaxCuttingSpeed = 999;
  Machine.FamilyJXFlag = true;
  Machine.CalibrationX = 1.01;
  Machine.CalibrationY = 0.99;
  RotaryStartX = 12.5;
  RotaryStartY = 34.5;
  TMDIChild project;
  project.PassNumber = 4;
  project.Width = 4321;

  const JobSettings s = CurrentJobSettings(JobRotaryTable, &project, 7, true);
  EXPECT_EQ(s.JobOutputMode, JobRotaryTable);
  EXPECT_EQ(s.PrzeSpeed, 1100);
  EXPECT_EQ(s.szybkoscObrobki, 900);
  EXPECT_EQ(s.work_power, 30);
  EXPECT_EQ(s.CzasRozgrzewania, 1500);
  EXPECT_EQ(s.Pauza_w_kacie, 700);
  EXPECT_TRUE(s.Wstrzymaj);
  EXPECT_TRUE(s.Heavy);
  EXPECT_EQ(s.skala, 120);
  EXPECT_EQ(s.il_obr_rys, 3);
  EXPECT_EQ(s.Ywrzeciona, 701);
  EXPECT_EQ(s.Ynarzedzia, -2);
  EXPECT_EQ(s.Xstolika, 1001);
  EXPECT_EQ(s.Ystolika, 251);
  EXPECT_EQ(s.Xnarzedzia, 3);
  EXPECT_EQ(s.Srednicamaterialu, 444);
  EXPECT_EQ(s.Mode, 1);
  EXPECT_EQ(s.StolikSwitch, 1);
  EXPECT_EQ(s.rgAlgorytmObrotowego, 1);
  EXPECT_EQ(s.StepsPerTurn, 250000);
  EXPECT_EQ(s.SpeedFactor, 3);
  EXPECT_EQ(s.MaxTravelSpeed, 1000);
  EXPECT_EQ(s.MaxCuttingSpeed, 999);
  EXPECT_TRUE(s.FamilyJXFlag);
  EXPECT_EQ(s.CalibrationX, 1.01);
  EXPECT_EQ(s.CalibrationY, 0.99);
  EXPECT_EQ(s.RotaryStartX, 12.5);
  EXPECT_EQ(s.RotaryStartY, 34.5);
  EXPECT_TRUE(s.ModelCutOffAtEnd);
  EXPECT_EQ(s.PassNumber, 4);
  EXPECT_EQ(s.ProjectWindowCount, 7);
  EXPECT_EQ(s.Width, 4321);
  EXPECT_EQ(s.FirstEntryInMaterial, project.DajPoz1szegoWjazduWmat());
  EXPECT_TRUE(static_cast<bool>(s.ReadStatus));
}

}  // namespace
}  // namespace vm
