// The application object: an error raised while an event is handled is shown
// in an error box and the program goes on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

TEST(Application, ErrorInAHandlerIsShownAndTheProgramGoesOn) {
  ScopedMessageRecorder rec;
  QTimer timer;
  int ticks = 0;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] {
    ++ticks;
    throw RangeError("move does not fit");
  });
  timer.start(1);
  QElapsedTimer clock;
  clock.start();
  while (ticks < 2 && clock.elapsed() < 10000) QCoreApplication::processEvents();
  timer.stop();
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(rec.requests.size(), 2);
  EXPECT_EQ(rec.requests.back().text, Tr("Universal", "bladOperacji") + "move does not fit");
  EXPECT_EQ(rec.requests.back().icon, MessageIcon::Error);
}

}  // namespace
}  // namespace vm
