#include "machine/ui/event_abort_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

namespace vm::ui {

EventAbortProbe::EventAbortProbe() { QCoreApplication::instance()->installEventFilter(this); }

EventAbortProbe::~EventAbortProbe() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool EventAbortProbe::aborted() {
  QCoreApplication::processEvents();
  return aborted_;
}

bool EventAbortProbe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress ||
      (event->type() == QEvent::MouseButtonPress &&
       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)) {
    aborted_ = true;
    return true;  // taken off the queue, not delivered
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vm::ui
