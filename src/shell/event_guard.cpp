// The event loop's guard: faults raised by a handler are shown, not fatal.
#include "shell/event_guard.h"

#include <QString>
#include <exception>
#include <new>

#include "drawing/errors.h"
#include "shell/messages.h"

namespace vm {

bool DeliverReportingErrors(const std::function<bool()>& deliver) {
  try {
    return deliver();
  } catch (const MessageError& e) {
    ShowMessageError(e);
  } catch (const std::bad_alloc&) {
    ShowMessageBox(QStringLiteral("Out of memory"), true);
  } catch (const std::exception& e) {
    ShowMessageBox(QString::fromLocal8Bit(e.what()), true);
  } catch (...) {
    ShowMessageBox(QStringLiteral("Unknown error"), true);
  }
  return false;
}

}  // namespace vm
