// Reads the drawing's settings from the settings dialog.
#include "project/view_settings.h"

#include "shell/konfig.h"

namespace vm {

TViewSettings ViewSettingsFromKonfig() {
  const TDlgkonfig& k = Dlgkonfig();
  TViewSettings s;
  s.Mode = k.Mode.ItemIndex();
  s.StolikSwitch = k.StolikSwitch.ItemIndex();
  s.Srednicamaterialu = k.Srednicamaterialu.Value();
  s.CatDir = k.CatDir.ItemIndex();
  s.Pauza_w_kacie = k.Pauza_w_kacie.Value();
  return s;
}

}  // namespace vm
