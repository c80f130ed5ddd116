// DXF mode of the drawing reader.
//
// Placeholder entry points so the reader links until the DXF mode is filled in:
// opening succeeds, reading reports that DXF drawings are not read yet.
#include "drawing/errors.h"
#include "drawing/hpgl.h"

namespace vm {

void Thpgl::OpenDxf() {
  CurrentPen = 1;
  AtEof = false;
}

void Thpgl::ReadFigureDxf(tfigura& figure) {
  (void)figure;
  AtEof = true;
  throw Error("DXF drawings cannot be read yet");
}

}  // namespace vm
