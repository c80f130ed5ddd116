#include "shell/ui/interfejs_ui.h"

#include <QAction>
#include <QMenuBar>
#include <QWidget>

namespace vm::ui {

void ReverseMenu(QMenuBar* menu) {
  if (menu == nullptr) return;
  const QList<QAction*> items = menu->actions();
  if (items.isEmpty()) return;
  if (QWidget* parent = menu->parentWidget()) menu->setLayoutDirection(parent->layoutDirection());
  // For i = 0 .. n-1 the item that is currently last moves to position i.
  const qsizetype n = items.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QList<QAction*> now = menu->actions();
    QAction* last = now.back();
    if (now.indexOf(last) == i) continue;
    menu->removeAction(last);
    menu->insertAction(menu->actions().at(i), last);
  }
}

void MirrorControls(QWidget* control) {
  if (control == nullptr) return;
  const int width = control->width();
  for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) continue;
    child->move(width - child->x() - child->width(), child->y());
  }
}

}  // namespace vm::ui
