// The abort probe of the program's abortable loops: while it exists, an
// application event filter swallows the operator's input (keys, mouse buttons,
// wheel, pointer moves) so nothing is dispatched to the windows, and a key
// press or a left-button press marks the loop as aborted. aborted() lets the
// queued events (paints, timers) through first.
#pragma once

#include <QObject>

#include "machine/abort_probe.h"

namespace vm::ui {

class EventAbortProbe : public QObject, public AbortProbe {
 public:
  EventAbortProbe();
  ~EventAbortProbe() override;

  bool aborted() override;
  // Marks the loop as aborted (the window is closing, for example).
  void abort() { aborted_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool aborted_ = false;
};

}  // namespace vm::ui
