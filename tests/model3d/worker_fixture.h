// Running a worker thread of the 3D pipeline to its completion call.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include "model3d/worker_thread.h"

namespace vm::test {

// Starts the worker and spins this thread's event loop until its completion
// call has run here (true) or `timeoutMs` has passed (false).
inline bool RunToCompletion(TWorkerThread& worker, int timeoutMs = 30000) {
  QEventLoop loop;
  bool done = false;
  auto previous = worker.OnTerminate;
  worker.OnTerminate = [&] {
    done = true;
    if (previous) previous();
    loop.quit();
  };
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  worker.Resume();
  if (!done) loop.exec();
  return done;
}

}  // namespace vm::test
