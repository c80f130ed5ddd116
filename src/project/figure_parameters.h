// Figure parameters: box, extreme-point indexes, centre, closure and the
// start flags that the project window gives every figure it keeps.
#pragma once

#include "drawing/figury.h"

namespace vm {

// With no points only Valid := false. Otherwise one walk over the points (ties
// keep the first index), the box, Width/Height, Centre (halved toward zero),
// Open (at most two points, or ends not within 9 units) and typ, and the flags
// Valid, Cut, Unlinked, oryg := true, Depth := 0. Raises OverflowError when the
// box is wider than a 32-bit extent.
void licz_parametry(tfigura& figure);

}  // namespace vm
