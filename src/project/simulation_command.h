// The main window's simulation command for the active project window: the
// direction rules around one replay.
#pragma once

#include <cstdint>
#include <functional>

namespace vm {

class TMDIChild;

// In serial cutting (mode 3) the feed direction follows the pass number: +1
// for an odd pass, -1 (255) for an even one. Then the project is painted once
// with Simulating set (`paint` runs the drawing and the replay) and the flag
// is cleared again. Afterwards, with CatDir 2 (both directions) outside serial
// cutting, the feed direction is turned round so the next simulation runs the
// other way. The caller invalidates the window.
void SymulacjaClick(TMDIChild& w, std::int32_t mode, std::int32_t catDir,
                    const std::function<void()>& paint);

}  // namespace vm
