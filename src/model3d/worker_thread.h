// Base of the worker threads of the 3D pipeline (model reader, rasteriser).
//
// A worker is created suspended: nothing runs until Resume(). Its body,
// Execute(), runs on its own thread; when it returns, OnTerminate runs on the
// thread that created the worker (the GUI thread) through a queued call, and a
// worker with FreeOnTerminate set then deletes itself. The GUI reads what the
// worker wrote only from OnTerminate, which the queued call orders after the
// whole body. An exception escaping Execute() is kept as the worker's error
// text instead of ending the program.
#pragma once

#include <QString>
#include <QThread>
#include <atomic>
#include <functional>

namespace vm {

class TWorkerThread : public QThread {
  Q_OBJECT

 public:
  explicit TWorkerThread(QObject* parent = nullptr);
  // A derived worker must call StopAndWait() in its own destructor, so that
  // its body never runs on a half-destroyed object.
  ~TWorkerThread() override;

  // Starts the body; a second call does nothing.
  void Resume();
  // Asks the body to stop at its next check of Terminated(); also before the
  // body has started, in which case it stops at once.
  void Terminate() { terminated_.store(true, std::memory_order_relaxed); }
  bool Terminated() const { return terminated_.load(std::memory_order_relaxed); }

  // Set before Resume(): run on the creating thread once the body has ended.
  std::function<void()> OnTerminate;
  // Set before Resume(): delete the worker after OnTerminate.
  bool FreeOnTerminate = false;

  // Text of an exception that escaped the body; empty when none did.
  const QString& FatalError() const { return fatalError_; }

  // The body; the tests also call it directly on their own thread.
  virtual void Execute() = 0;

 protected:
  void run() override;
  // Terminates the body and waits until it has returned.
  void StopAndWait();

 private:
  void Finished();

  QString fatalError_;
  bool resumed_ = false;
  std::atomic<bool> terminated_{false};
};

// The application-closing flag as a worker reads it while the GUI may set it.
bool ClosingRequested();

}  // namespace vm
