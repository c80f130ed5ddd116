// Controller emulator: plays the machine's controller on a pseudo-terminal so
// that the program's real serial code can be run end to end. A thread of its
// own reads the master side, feeds the controller model and writes its
// replies. Faults of a real line can be switched on at any time.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "sim/controller.h"
#include "sim/pseudo_terminal.h"

namespace vm::sim {

class Simulator {
 public:
  Simulator() = default;
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Opens the pseudo-terminal and starts the thread. Returns false with
  // `error` set when no pseudo-terminal can be had.
  bool Start(QString* error = nullptr);
  void Stop();

  // Device the program opens as its serial port.
  QString SlavePath() const { return slavePath_; }

  // Runs `f` on the controller model under the emulator's lock.
  template <typename F>
  auto With(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(controller_);
  }

  // --- faults ---
  // Reads everything and answers nothing.
  void SetSilent(bool on);
  // Answers the next `count` interactive commands, then reads everything and
  // answers nothing (as SetSilent(true)): a controller that stops confirming
  // part way through an exchange of many commands. With `silentFor` of 1 or
  // more it answers again after that many unanswered commands (replies lost
  // on the line once).
  void SilenceAfterCommands(int count, int silentFor = -1);
  // Sends every received byte back instead of answering (a line that loops
  // back: a status query then reads 88, the letter "X").
  void SetEcho(bool on);
  // Drops the last `bytes` bytes of every reply.
  void SetShortReplies(int bytes);
  // Stops reading the line; the program's writes back up and finally fail.
  void SetStopReading(bool on);
  // Stops reading and fills the line from the far end so that exactly `room`
  // more bytes from the program fit: the next write after those fails with a
  // time-out, as on a line whose controller holds CTS low. Reading again
  // (SetStopReading(false)) skips the filling. False when the line's buffer
  // does not behave as expected.
  bool LimitWriteRoom(int room);
  // Closes the line now: the program sees a hang-up.
  void HangUp();
  // Closes the line as soon as `count` more bytes have been received; the
  // rest of what arrives is never read.
  void HangUpAfterBytes(int count);
  // Paces reading and writing to the real line rate (104 us a byte).
  void SetThrottle(bool on);

  // Bytes taken in while throttled: each was read on its own and followed by
  // its line time (104 us) before the next one.
  std::int64_t PacedBytesIn() const;

  // Bytes the controller has sent that still wait in the line, not yet taken
  // in by the program's port.
  int BytesWaitingForProgram() const;

  // Every byte received since the start or the last ClearReceived.
  QByteArray Received() const;
  void ClearReceived();
  bool IsHungUp() const;

 private:
  void Loop();
  void CloseLine();  // with mutex_ held

  mutable std::mutex mutex_;
  std::condition_variable cv_;
  Controller controller_;
  PseudoTerminal pty_;
  QString slavePath_;
  // The link of a name used once that slavePath_ names, removed on Stop.
  QString linkPath_;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::uint64_t loops_ = 0;  // iterations of the thread, under mutex_

  bool silent_ = false;
  int silenceAfter_ = -1;  // commands still answered before silence
  int silentFor_ = -1;     // commands left unanswered before answering again
  bool echo_ = false;
  int shortBy_ = 0;
  bool stopReading_ = false;
  bool throttle_ = false;
  std::int64_t pacedIn_ = 0;
  bool hangUpRequested_ = false;
  int hangUpAfter_ = -1;
  bool hungUp_ = false;
  QByteArray received_;
  std::int64_t skipFiller_ = 0;  // bytes of LimitWriteRoom still in the line
};

}  // namespace vm::sim
