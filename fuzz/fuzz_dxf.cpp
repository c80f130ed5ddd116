// The DXF reader: one figure per call until the end of the drawing, as a
// project window's load reads it.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  const QString path = vm::fuzz::WriteInput(QStringLiteral("drawing.dxf"), data, size);
  vm::fuzz::ReadDrawing(path, 2);
  return 0;
}
