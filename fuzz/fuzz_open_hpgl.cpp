// The whole road of an opened HPGL drawing in every work mode: the project
// window's load and preparation, the job the cut sequencer writes for it, and
// that job decoded completely.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::fuzz::OpenRoad(vm::fuzz::WriteInput(QStringLiteral("drawing.plt"), data, size));
  return 0;
}
