// The base points file "base.txt": read at the dialog's creation, every point
// sent to as the Go to button does, written back at the end. A point the
// machine is sent to is finite; the list written reads back the same.
#include <QFile>
#include <cmath>

#include "fuzz_support.h"
#include "machine/base_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vm::fuzz::Init();
  vm::fuzz::ClearMessages();
  const QString path =
      vm::fuzz::WriteInput(QString::fromLatin1(vm::BasePointsFileName), data, size);
  vm::ResetPunkty_bazowe();
  vm::TPunkty_bazowe& d = vm::Punkty_bazowe();
  d.hooks.GoToPoint = [](bool, std::uint8_t, double x, double y, double) {
    if (!std::isfinite(x) || !std::isfinite(y)) vm::fuzz::Finding("a move to a non-finite point");
    return true;
  };
  d.FormCreate();
  d.FormActivate();
  // Every point (the first thousand of a long list) once.
  const int n = std::min(d.lista.Count(), 1000);
  for (int i = 0; i < n; ++i) {
    d.lista.ItemIndex = i;
    d.listaClick();
    d.ustawClick();
  }
  vm::fuzz::CheckMessages();
  const QStringList items = d.lista.Items;
  if (!d.FormDestroy()) return 0;
  if (vm::ReadBasePointsFile(path) != items) vm::fuzz::Finding("the points do not read back");
  return 0;
}
