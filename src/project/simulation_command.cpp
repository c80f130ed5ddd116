// Direction rules of the simulation command (see simulation_command.h).
#include "project/simulation_command.h"

#include "project/okno_plt.h"

namespace vm {

void SymulacjaClick(TMDIChild& w, std::int32_t mode, std::int32_t catDir,
                    const std::function<void()>& paint) {
  if (mode == 3) w.FeedDirection = (w.PassNumber % 2 != 0) ? 1 : 255;
  w.Simulating = true;
  // The flag is cleared however the paint ends.
  struct TClear {
    TMDIChild& w;
    ~TClear() { w.Simulating = false; }
  } clear{w};
  if (paint) paint();
  if (catDir == 2 && mode != 3) w.FeedDirection = w.FeedDirection == 255 ? 1 : 255;
}

}  // namespace vm
