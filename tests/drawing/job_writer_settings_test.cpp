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

TEST_F(JobWriterSettings, DefaultsMatchAFreshStore) {
  const JobSettings s = CurrentJobSettings(JobPlainCutting, nullptr, 0, false);
  const JobSettings d;
  EXPECT_EQ(s.PrzeSpeed, d.PrzeSpeed);
  EXPECT_EQ(s.szybkoscObrobki, d.szybkoscObrobki);
  EXPECT_EQ(s.work_power, d.work_power);
  EXPECT_EQ(s.CzasRozgrzewania, d.CzasRozgrzewania);
  EXPECT_EQ(s.Pauza_w_kacie, d.Pauza_w_kacie);
  EXPECT_EQ(s.skala, d.skala);
  EXPECT_EQ(s.il_obr_rys, d.il_obr_rys);
  EXPECT_EQ(s.Ywrzeciona, d.Ywrzeciona);
  EXPECT_EQ(s.Xstolika, d.Xstolika);
  EXPECT_EQ(s.Ystolika, d.Ystolika);
  EXPECT_EQ(s.Srednicamaterialu, d.Srednicamaterialu);
  EXPECT_EQ(s.Mode, d.Mode);
  EXPECT_EQ(s.StepsPerTurn, d.StepsPerTurn);
  EXPECT_EQ(s.MaxTravelSpeed, d.MaxTravelSpeed);
  EXPECT_EQ(s.MaxCuttingSpeed, d.MaxCuttingSpeed);
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
