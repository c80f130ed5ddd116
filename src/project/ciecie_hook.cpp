// The plain-cutting preparation as the project windows' hook: reads the
// settings, reports failures and figures left unlinked to the operator.
#include <utility>

#include "drawing/errors.h"
#include "project/ciecie.h"
#include "project/drawing_errors.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

namespace {

struct TPlainCuttingHooks {
  std::function<std::function<bool()>()> MakeProbe;
  std::function<void(TMDIChild&)> Progress;
};

TPlainCuttingHooks& Hooks() {
  static TPlainCuttingHooks hooks;
  return hooks;
}

bool RunInstalled(TMDIChild& w) {
  TPlainCutEnv env;
  env.Settings.Mode = Dlgkonfig().Mode.ItemIndex();
  env.Settings.AddFrame = Dlgkonfig().AddFrame.Checked();
  if (Hooks().MakeProbe) env.Aborted = Hooks().MakeProbe();
  env.Progress = Hooks().Progress;
  try {
    const TPlainCutResult r = PrepareCiecie(w, env);
    if (!r.Aborted && !r.UnreachedFigures.empty()) {
      ShowMessageBox(Tr("Project_window", "figuryNiepolaczone") +
                         QString::number(r.UnreachedFigures.size()) + QStringLiteral("\n") +
                         Tr("Project_window", "figuryNiepolaczoneNr") +
                         FigureNumbers(r.UnreachedFigures),
                     false);
    }
    return true;
  } catch (const MessageError& e) {
    ShowMessageError(e);
  } catch (const Error& e) {
    ShowMessageBox(DrawingErrorText(w.Caption, e), true);
  }
  w.RequestClose();
  return false;
}

}  // namespace

void SetPlainCuttingProbeFactory(std::function<std::function<bool()>()> make) {
  Hooks().MakeProbe = std::move(make);
}

void SetPlainCuttingProgress(std::function<void(TMDIChild&)> progress) {
  Hooks().Progress = std::move(progress);
}

void InstallPlainCutting() { ProjectHooks().ciecie = RunInstalled; }

}  // namespace vm
