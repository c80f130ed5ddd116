// Input filter of a running replay (see replay_input_guard.h).
#include "project/ui/replay_input_guard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

namespace vm::ui {

ReplayInputGuard::ReplayInputGuard() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

ReplayInputGuard::~ReplayInputGuard() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool ReplayInputGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Taken as the focus widget's own key, so no menu shortcut fires; the
      // key press that follows goes to the abort probe.
      event->accept();
      return true;
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) break;
      return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vm::ui
