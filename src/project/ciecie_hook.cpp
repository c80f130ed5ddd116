// The plain-cutting preparation as the project windows' hook: reads the
// settings, reports failures and figures left unlinked to the operator.
#include <optional>
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
  TPlainCutResult result;
  std::optional<MessageError> message;
  QString text;
  {
    TPlainCutEnv env;
    env.Settings.Mode = Dlgkonfig().Mode.ItemIndex();
    env.Settings.AddFrame = Dlgkonfig().AddFrame.Checked();
    if (Hooks().MakeProbe) env.Aborted = Hooks().MakeProbe();
    env.Progress = Hooks().Progress;
    try {
      result = PrepareCiecie(w, env);
    } catch (const MessageError& e) {
      message = e;
    } catch (const Error& e) {
      text = DrawingErrorText(w.Caption, e);
    }
  }
  // The probe ends with the block above, before any box is shown: while it
  // lives it takes every key press and click, and a box could not be closed.
  if (!message && text.isEmpty()) {
    if (!result.Aborted && !result.UnreachedFigures.empty()) {
      ShowMessageBox(Tr("Project_window", "figuryNiepolaczone") +
                         QString::number(result.UnreachedFigures.size()) + QStringLiteral("\n") +
                         Tr("Project_window", "figuryNiepolaczoneNr") +
                         FigureNumbers(result.UnreachedFigures),
                     false);
    }
    return true;
  }
  if (message) {
    ShowMessageError(*message);
  } else {
    ShowMessageBox(text, true);
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
