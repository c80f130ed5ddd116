// Delivers every event through the event guard, so an error raised by a
// handler is shown in a box rather than ending the program.
#include "shell/ui/application.h"

#include "shell/event_guard.h"

namespace vm::ui {

bool TApplication::notify(QObject* receiver, QEvent* event) {
  return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

}  // namespace vm::ui
