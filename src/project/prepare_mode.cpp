#include "project/prepare_mode.h"

#include "project/okno_plt.h"
#include "shell/konfig.h"

namespace vm {

bool PrepareForCurrentMode(TMDIChild& project) {
  // From the drawing, not from what the previous preparation left.
  project.StartFromDrawing();
  switch (Dlgkonfig().Mode.ItemIndex()) {
    case 0:
      return Dlgkonfig().StolikSwitch.ItemIndex() == 2 ? project.ciecie() : project.toczenie();
    case 1:
      return project.ciecie_obrotowe();
    case 2:
    case 3:
      return project.ciecie();
    default:
      return true;
  }
}

}  // namespace vm
