// The straightforward joining and duplicate scans of the load, list walk by
// list walk, kept as the reference that the indexed collector must match.
#pragma once

#include <memory>

#include "project/okno_plt.h"

namespace vm::test {

// Joins f with the open figures of `list` (passes until one joins nothing).
void ReferenceJoinOpenFigures(TFigureList& list, tfigura& f);

// False when some figure of `list` has the same points in the same order.
bool ReferenceIsNewFigure(const TFigureList& list, const tfigura& f);

// The load's treatment of one figure read: join, then keep with parameters
// unless it is a duplicate.
void ReferenceAdd(TFigureList& list, std::unique_ptr<tfigura> f);

}  // namespace vm::test
