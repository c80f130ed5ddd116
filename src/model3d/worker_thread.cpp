// Worker threads reporting their end to the creating thread.
#include "model3d/worker_thread.h"

#include <exception>

#include "drawing/definicje.h"

namespace vm {

TWorkerThread::TWorkerThread(QObject* parent) : QObject(parent) {
  // A look every 2 ms: far below what the operator notices, and the check
  // is one atomic load.
  poll_.setInterval(2);
  connect(&poll_, &QTimer::timeout, this, &TWorkerThread::Poll);
}

TWorkerThread::~TWorkerThread() { StopAndWait(); }

void TWorkerThread::StopAndWait() {
  Terminate();
  Wait();
}

void TWorkerThread::Wait() {
  // Joining (rather than waiting for a flag) also orders everything the body
  // wrote before whatever the waiting thread does next.
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TWorkerThread::Resume() {
  if (resumed_) return;
  resumed_ = true;
  thread_ = std::thread(&TWorkerThread::Run, this);
  poll_.start();
}

void TWorkerThread::Run() {
  try {
    Execute();
  } catch (const std::exception& e) {
    fatalError_ = QString::fromStdString(e.what());
  } catch (...) {
    fatalError_ = QStringLiteral("unknown error");
  }
  ended_.store(true, std::memory_order_release);
}

void TWorkerThread::Poll() {
  if (ended_.load(std::memory_order_acquire)) Finished();
}

void TWorkerThread::Finished() {
  poll_.stop();
  Wait();  // the body has returned; make sure its thread has fully ended
  if (OnTerminate) OnTerminate();
  if (FreeOnTerminate) deleteLater();
}

bool ClosingRequested() { return AppClosing.load(std::memory_order_relaxed); }

}  // namespace vm
