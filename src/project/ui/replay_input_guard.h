// Keeps the operator's input away from the windows while a replay runs: an
// application event filter that takes every key and mouse event off the queue
// except key presses and left-button presses, which it leaves to the abort
// probe (that swallows them and stops the replay). Without it a right click
// would open the info window, or a menu key start another command, in the
// middle of the replay.
#pragma once

#include <QObject>

namespace vm::ui {

class ReplayInputGuard : public QObject {
 public:
  // Install after the abort probe: the filter installed last sees events first.
  ReplayInputGuard();
  ~ReplayInputGuard() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vm::ui
