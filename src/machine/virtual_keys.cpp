#include "machine/virtual_keys.h"

#include <Qt>

namespace vm {

int VirtualKeyOf(int qtKey, bool keypad) {
  if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kKeyNumpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Control:
      return kKeyCtrl;
    case Qt::Key_PageUp:
      return kKeyPageUp;
    case Qt::Key_PageDown:
      return kKeyPageDown;
    case Qt::Key_Home:
      return kKeyHome;
    case Qt::Key_Left:
      return kKeyLeft;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Right:
      return kKeyRight;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Insert:
      return kKeyInsert;
    case Qt::Key_Plus:
      return keypad ? kKeyAdd : 0;
    case Qt::Key_Minus:
      return keypad ? kKeySubtract : 0;
    default:
      return 0;
  }
}

}  // namespace vm
