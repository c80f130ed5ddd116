// The event loop's guard: faults raised by a handler are shown, not fatal.
#include "shell/event_guard.h"

#include <QString>
#include <exception>
#include <new>

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm {

bool DeliverReportingErrors(const std::function<bool()>& deliver) {
  try {
    return deliver();
  } catch (const MessageError& e) {
    ShowMessageError(e);
  } catch (const std::bad_alloc&) {
    // Memory ran out: the operator's own words, not the library's.
    ShowMessageBox(Tr("Universal", "brakPamieci"), true);
  } catch (const std::exception& e) {
    ShowMessageBox(Tr("Universal", "bladOperacji") + QString::fromLocal8Bit(e.what()), true);
  } catch (...) {
    ShowMessageBox(Tr("Universal", "bladOperacji").trimmed(), true);
  }
  return false;
}

}  // namespace vm
