// The event probe of abortable loops: a key press or a left click aborts and
// is not delivered; other input goes through.
#include "machine/ui/event_abort_probe.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

class InputCounter : public QWidget {
 public:
  int keys = 0, clicks = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++keys; }
  void mousePressEvent(QMouseEvent*) override { ++clicks; }
};

void PostClick(QWidget* w, Qt::MouseButton button) {
  QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1),
                                                 QPointF(1, 1), button, button, Qt::NoModifier));
}

TEST(EventAbortProbe, KeyPressOrLeftClickAbortsAndIsSwallowed) {
  InputCounter w;
  {
    vm::ui::EventAbortProbe probe;
    EXPECT_FALSE(probe.aborted());
    PostClick(&w, Qt::RightButton);
    EXPECT_FALSE(probe.aborted());
    EXPECT_EQ(w.clicks, 1);
    PostClick(&w, Qt::LeftButton);
    EXPECT_TRUE(probe.aborted());
    EXPECT_EQ(w.clicks, 1);
  }
  {
    vm::ui::EventAbortProbe probe;
    QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
    EXPECT_TRUE(probe.aborted());
    EXPECT_EQ(w.keys, 0);
  }
  // Without a probe input is delivered again.
  QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
  QCoreApplication::processEvents();
  EXPECT_EQ(w.keys, 1);
}

}  // namespace
