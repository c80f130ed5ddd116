// Finishing steps of a generated project.
#include "project/generated_project.h"

#include "drawing/rounding.h"

namespace vm {

bool FinishGeneratedProject(TMDIChild& w) {
  w.Ustaw_PPiPK();
  w.Width = CheckedSub(w.MaxX, w.MinX);
  w.Height = CheckedSub(w.MaxY, w.MinY);
  w.MaxDepth = 0;
  w.SelectedFigure = -1;
  w.JakiKierunek(-1);
  w.KeepDrawing();
  return w.ciecie();
}

}  // namespace vm
