// Worker threads reporting their end to the creating thread.
#include "model3d/worker_thread.h"

#include <atomic>
#include <exception>

#include "drawing/definicje.h"

namespace vm {

TWorkerThread::TWorkerThread(QObject* parent) : QThread(parent) {
  // The worker object lives in the creating thread, so a queued call to it
  // runs there, after the thread's body has returned.
  connect(this, &QThread::finished, this, &TWorkerThread::Finished, Qt::QueuedConnection);
}

TWorkerThread::~TWorkerThread() { StopAndWait(); }

void TWorkerThread::StopAndWait() {
  Terminate();
  wait();
}

void TWorkerThread::Resume() {
  if (resumed_) return;
  resumed_ = true;
  start();
}

void TWorkerThread::run() {
  try {
    Execute();
  } catch (const std::exception& e) {
    fatalError_ = QString::fromStdString(e.what());
  } catch (...) {
    fatalError_ = QStringLiteral("unknown error");
  }
}

void TWorkerThread::Finished() {
  wait();  // the thread has left run(); make sure it has fully ended
  if (OnTerminate) OnTerminate();
  if (FreeOnTerminate) deleteLater();
}

bool ClosingRequested() { return AppClosing.load(std::memory_order_relaxed); }

}  // namespace vm
