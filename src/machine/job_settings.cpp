// Job settings from the settings store, the machine link and the project.
#include "machine/job_settings.h"

#include "drawing/definicje.h"
#include "machine/machine_globals.h"
#include "machine/ploter.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"

namespace vm {

JobSettings CurrentJobSettings(TJobOutputMode mode, const TMDIChild* active,
                               std::int32_t projectWindowCount, bool modelCutOffAtEnd) {
  const TDlgkonfig& k = Dlgkonfig();
  JobSettings s;
  s.JobOutputMode = mode;

  s.PrzeSpeed = k.PrzeSpeed.Value();
  s.szybkoscObrobki = k.szybkoscObrobki.Value();
  s.work_power = k.work_power.Value();
  s.CzasRozgrzewania = k.CzasRozgrzewania.Value();
  s.Pauza_w_kacie = k.Pauza_w_kacie.Value();
  s.Wstrzymaj = k.Wstrzymaj.Checked();
  s.Heavy = k.Heavy.Checked();
  s.skala = k.skala.Value();
  s.il_obr_rys = k.il_obr_rys.Value();
  s.Ywrzeciona = k.Ywrzeciona.Value();
  s.Ynarzedzia = k.Ynarzedzia.Value();
  s.Xstolika = k.Xstolika.Value();
  s.Ystolika = k.Ystolika.Value();
  s.Xnarzedzia = k.Xnarzedzia.Value();
  s.Srednicamaterialu = k.Srednicamaterialu.Value();
  s.Mode = k.Mode.ItemIndex();
  s.StolikSwitch = k.StolikSwitch.ItemIndex();
  s.rgAlgorytmObrotowego = k.rgAlgorytmObrotowego.ItemIndex();

  s.StepsPerTurn = Machine.StepsPerTurn;
  s.SpeedFactor = Machine.SpeedFactor;
  s.MaxTravelSpeed = Machine.MaxTravelSpeed;
  s.MaxCuttingSpeed = Machine.MaxCuttingSpeed;
  s.FamilyJXFlag = Machine.FamilyJXFlag;
  s.CalibrationX = Machine.CalibrationX;
  s.CalibrationY = Machine.CalibrationY;

  s.RotaryStartX = RotaryStartX;
  s.RotaryStartY = RotaryStartY;
  s.ModelCutOffAtEnd = modelCutOffAtEnd;

  s.ProjectWindowCount = projectWindowCount;
  if (active != nullptr) {
    s.PassNumber = active->PassNumber;
    s.Width = active->Width;
    s.FirstEntryInMaterial = active->DajPoz1szegoWjazduWmat();
  }

  s.ReadStatus = [] {
    ReadStatus();
    return static_cast<std::uint8_t>(PlotState.Status & 0xFF);
  };
  return s;
}

}  // namespace vm
