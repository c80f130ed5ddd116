#include "machine/axis_setup.h"

#include "drawing/definicje.h"
#include "machine/ploter.h"
#include "shell/konfig.h"

namespace vm {

std::uint8_t AxisSetupByte(const QByteArray& model, int stolikSwitch) {
  if (model.startsWith("Q ") || model.startsWith("Q5")) return 0;
  return stolikSwitch != 0 ? 2 : 0;
}

void SendAxisSetup() {
  QByteArray cmd("S");
  cmd.append(
      static_cast<char>(AxisSetupByte(PlotState.Model, Dlgkonfig().StolikSwitch.ItemIndex())));
  SendCommand(cmd);
  ReadAck();
}

}  // namespace vm
