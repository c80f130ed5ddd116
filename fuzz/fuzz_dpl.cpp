// The duplication parameters file (".dpl" beside the drawing): read when the
// dialog is shown for a project, checked and executed as the Execute button
// does (small repetitions only: the run is about the file, not the cutting
// of a large sheet). The parameters saved read back the same.
#include <QFile>
#include <cmath>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "project/ciecie.h"
#include "project/duplication.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"

namespace {

std::unique_ptr<vm::TMDIChild> Source() {
  auto w = std::make_unique<vm::TMDIChild>();
  auto f = std::make_unique<vm::tfigura>();
  f->Points = {{0, 0}, {400, 0}, {400, 200}, {0, 200}, {0, 0}};
  w->AddFigure(std::move(f));
  w->Ustaw_PPiPK();
  w->Width = w->MaxX - w->MinX;
  w->Height = w->MaxY - w->MinY;
  w->FileType = 1;
  w->Caption = vm::fuzz::Folder() + QStringLiteral("part.plt");
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::fuzz::ClearMessages();
  vm::ResetDlgkonfig();
  vm::ResetProjectHooks();
  vm::InstallPlainCutting();
  const QString path = vm::fuzz::WriteInput(QStringLiteral("part.dpl"), data, size);
  const auto source = Source();
  std::vector<std::unique_ptr<vm::TMDIChild>> windows;

  vm::TfParDup dlg;
  dlg.Windows.Create = [&windows] {
    windows.push_back(std::make_unique<vm::TMDIChild>());
    return windows.back().get();
  };
  dlg.Source = source.get();
  dlg.FormCreate();
  dlg.TntFormActivate();
  vm::fuzz::CheckMessages();
  if (dlg.ParamFileName != path) vm::fuzz::Finding("the parameters file is not the drawing's");

  const double columns = dlg.feIloscElemWWierszu.Value();
  const double rows = dlg.feIloscWierszy.Value();
  if (!std::isfinite(columns) || !std::isfinite(rows)) vm::fuzz::Finding("non-finite count");
  if (columns * rows <= 400) {
    dlg.btnZatwierdzClick();
    vm::fuzz::CheckMessages();
    if (!windows.empty()) {
      // Executed: the file now holds the parameters used, and reads back.
      vm::TfParDup again;
      again.FormCreate();
      again.PatternWidth = dlg.PatternWidth;
      again.PatternHeight = dlg.PatternHeight;
      if (!again.LoadParams(path)) vm::fuzz::Finding("the parameters saved do not read back");
      if (again.Columns != dlg.Columns || again.Rows != dlg.Rows ||
          again.VLineDistance != dlg.VLineDistance || again.HLineDistance != dlg.HLineDistance)
        vm::fuzz::Finding("the parameters read back differ from those saved");
    }
  }
  return 0;
}
