// Release of what a figure holds.
#include "drawing/figury.h"

namespace vm {

void tfigura::FreeAll() {
  std::vector<TPointI>().swap(Points);
  std::vector<TPointI>().swap(Outline);
  std::vector<TVertexRec>().swap(VertexRecs);
}

}  // namespace vm
