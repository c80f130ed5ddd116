// The program's probe for abortable loops: while it lives, a key press or a
// left click anywhere in the application is taken off the event queue (not
// delivered) and aborts the loop that asks it.
#pragma once

#include <QObject>

#include "machine/abort_probe.h"

namespace vm::ui {

class EventAbortProbe : public QObject, public AbortProbe {
 public:
  EventAbortProbe();
  ~EventAbortProbe() override;

  // Handles the waiting events, then tells whether a key or left click came.
  bool aborted() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool aborted_ = false;
};

}  // namespace vm::ui
