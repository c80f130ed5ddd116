// Base of the worker threads of the 3D pipeline (model reader, rasteriser).
//
// A worker is created suspended: nothing runs until Resume(). Its body,
// Execute(), runs on its own thread; when it has returned, OnTerminate runs on
// the thread that created the worker (the GUI thread), and a worker with
// FreeOnTerminate set then deletes itself. The creating thread notices the end
// of the body with a short timer of its own (the body makes no call into the
// GUI thread's event queue) and joins the body's thread first, so everything
// the body wrote is seen by OnTerminate. An exception escaping Execute() is kept as the worker's
// error text instead of ending the program.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

namespace vm {

class TWorkerThread : public QObject {
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
  // Whether Resume() has started the body.
  bool Started() const { return resumed_; }
  // Waits until the body has returned (at once when it never started).
  void Wait();

  // Set before Resume(): run on the creating thread once the body has ended.
  std::function<void()> OnTerminate;
  // Set before Resume(): delete the worker after OnTerminate.
  bool FreeOnTerminate = false;

  // Text of an exception that escaped the body; empty when none did.
  const QString& FatalError() const { return fatalError_; }

  // The body; the tests also call it directly on their own thread.
  virtual void Execute() = 0;

 protected:
  // Terminates the body and waits until it has returned.
  void StopAndWait();

 private:
  void Run();
  void Poll();
  void Finished();

  QString fatalError_;
  bool resumed_ = false;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> ended_{false};  // the body has returned
  QTimer poll_;
  std::thread thread_;
};

// The application-closing flag as a worker reads it while the GUI may set it.
bool ClosingRequested();

}  // namespace vm
