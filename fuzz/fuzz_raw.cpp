// The ".RAW" model reader: the worker's body run on this thread, then what it
// published. A model that was read must leave finite triangles, extents,
// sizes and centre behind for the grid, the viewer and the generator.
#include <cmath>

#include "drawing/definicje.h"
#include "fuzz_support.h"
#include "model3d/raw_reader.h"

namespace {

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vm::TRAWodczytWatek;
  vm::fuzz::Init();
  vm::ModelExtents.FileName = vm::fuzz::WriteInput(QStringLiteral("model.raw"), data, size);
  vm::ModelTriangles.clear();
  // The unit of the numbers in the file follows the input's length, so every
  // unit is met.
  TRAWodczytWatek reader(static_cast<int>(size % 3), nullptr);
  reader.Execute();
  if (reader.Outcome() == TRAWodczytWatek::TOutcome::NotRun) vm::fuzz::Finding("no outcome");
  if (reader.Outcome() != TRAWodczytWatek::TOutcome::Read) {
    if (reader.ErrorText().isEmpty()) vm::fuzz::Finding("a refused model has no message");
    return 0;
  }
  const vm::TModel& e = vm::ModelExtents;
  for (double v : {e.MinX, e.MinY, e.MinZ, e.MaxX, e.MaxY, e.MaxZ, vm::ModelCentreX,
                   vm::ModelCentreY, vm::ModelCentreZ, double(vm::ModelSize[0]),
                   double(vm::ModelSize[1]), double(vm::ModelSize[2])}) {
    if (!Finite(v)) vm::fuzz::Finding("a model was published with a non-finite extent");
  }
  if (e.MinX > e.MaxX || e.MinY > e.MaxY || e.MinZ > e.MaxZ)
    vm::fuzz::Finding("a model was published with a minimum above its maximum");
  if (vm::ModelTriangles.empty()) vm::fuzz::Finding("a model was published without triangles");
  return 0;
}
