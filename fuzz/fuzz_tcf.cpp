// The settings text files: loaded as the settings dialog's Load button does.
// What was loaded must lie in every control's range, must read back the same
// after a save, and Cancel after a change must bring back what was shown.
#include <cmath>

#include "drawing/errors.h"
#include "fuzz_support.h"
#include "shell/fltedit_base.h"
#include "shell/konfig.h"

namespace {

void CheckRanges(const vm::TDlgkonfig& k) {
  for (vm::TControl* c : k.StoredControls()) {
    if (auto* e = dynamic_cast<vm::TNumericEdit*>(c)) {
      const double v = e->Value();
      if (!std::isfinite(v)) vm::fuzz::Finding("non-finite value of " + c->Name().toStdString());
      if (e->MinValue() != e->MaxValue() && (v < e->MinValue() || v > e->MaxValue()))
        vm::fuzz::Finding("value out of range: " + c->Name().toStdString());
    } else if (auto* r = dynamic_cast<vm::TTntRadioGroup*>(c)) {
      if (r->ItemIndex() < -1 || r->ItemIndex() >= r->Items().size())
        vm::fuzz::Finding("choice out of range: " + c->Name().toStdString());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::ResetDlgkonfig();
  vm::fuzz::ClearMessages();
  const QString path = vm::fuzz::WriteInput(QStringLiteral("fuzz.tcf"), data, size);
  try {
    vm::Dlgkonfig().OdczytClick(path);
  } catch (const vm::IoError&) {
    return 0;
  }
  vm::fuzz::CheckMessages();
  CheckRanges(vm::Dlgkonfig());

  // Saved and read again: the same settings.
  const QByteArray loaded = vm::Dlgkonfig().SettingsText();
  const QString again = vm::fuzz::Folder() + QStringLiteral("again.tcf");
  vm::Dlgkonfig().SaveKonfig(again);
  vm::ResetDlgkonfig();
  vm::Dlgkonfig().LoadKonfig(again);
  if (vm::Dlgkonfig().SettingsText() != loaded)
    vm::fuzz::Finding("settings read back differ from those saved");

  // Shown, changed (the defaults over it) and cancelled: as shown.
  vm::TDlgkonfig& k = vm::Dlgkonfig();
  k.FormActivate();
  const QByteArray shown = k.SettingsText();
  k.ApplySettingsText(vm::TDlgkonfig().SettingsText());
  k.ApplySettingsText(
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  k.cancelClick();
  if (k.SettingsText() != shown) vm::fuzz::Finding("Cancel does not restore the settings shown");
  CheckRanges(k);
  vm::fuzz::CheckMessages();
  return 0;
}
