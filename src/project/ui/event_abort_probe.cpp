// Abort probe on the Qt event queue (see event_abort_probe.h).
#include "project/ui/event_abort_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

namespace vm::ui {

EventAbortProbe::EventAbortProbe() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

EventAbortProbe::~EventAbortProbe() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool EventAbortProbe::aborted() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return aborted_;
}

bool EventAbortProbe::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Taken as the focus widget's own key, so no menu shortcut fires; the
      // key press that follows is swallowed below.
      event->accept();
      return true;
    case QEvent::KeyPress:
      aborted_ = true;
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) aborted_ = true;
      return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace vm::ui
