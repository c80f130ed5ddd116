// The job transmission window's logic (Ttransmisja): streams the job file
// "out.cn" from the program folder to the controller byte by byte while the
// window shows the progress, and ends with OK only when every byte of the file
// was written and the controller still answers.
//
// The bytes go out from a sender thread that holds the serial port for the
// transfer, so the window stays live: one write a byte, each followed by a
// 0.2 ms pause kept on a steady-clock schedule. The progress moves as a 1 ms
// tick releasing a kilobyte at a time would move it: after the first byte,
// then after every further kilobyte. An aborted or broken transfer ends the
// window with Cancel at once; the sender then tells the controller to drop
// what it received (20 bytes of value 64), drains its replies and gives the
// port back.
//
// The window widget (machine/ui/transmit_window.h) shows the texts and
// numbers held here and forwards its events to the handlers.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "shell/messages.h"

namespace vm {

// The job file beside the program.
inline constexpr const char* JobFileName = "out.cn";
// The controller's job buffer: a job of this size or larger does not fit.
inline constexpr std::int64_t kJobBufferBytes = 4194304;
// Bytes of each progress step after the first byte.
inline constexpr int kTransmitBlockBytes = 1024;
// The tail that breaks off a transfer: this many bytes of kAbortTailByte.
inline constexpr int kAbortTailBytes = 20;
inline constexpr char kAbortTailByte = 0x40;

// How closely the last transfer kept its pacing.
struct TransferPacing {
  std::int64_t bytes = 0;     // job bytes written
  double pacedSeconds = 0;    // the writes' own time plus 0.2 ms a byte
  double elapsedSeconds = 0;  // from the first byte's start to the last byte's pause
};

class Ttransmisja {
 public:
  Ttransmisja();
  ~Ttransmisja();
  Ttransmisja(const Ttransmisja&) = delete;
  Ttransmisja& operator=(const Ttransmisja&) = delete;

  // --- handlers ---
  // Caption and button text from the language file.
  void FormCreate();
  // Checks the link and the machine, reads the job file and starts the
  // sender. Every refusal is shown (or was shown by the command layer) and
  // ends the window with Cancel right after it appeared.
  void FormActivate();
  // The Abort button: the sender stops after the byte it is on and the window
  // ends with Cancel.
  void PrzerwijClick();
  // The window has closed. The sender has already read the controller's
  // reply to a complete job; after a broken-off one it goes on with the abort
  // tail and the drain until the port is asked for.
  void FormDeactivate();

  // --- modal showing ---
  // Shows the window modally with the installed handler (the program's
  // window) or, without one, runs it here: activation, ticks in a local event
  // loop, deactivation. OK after a complete transfer, Cancel otherwise.
  ModalResult ShowModal();
  ModalResult RunModal();

  // --- what the window shows ---
  QString Caption;
  QString PrzerwijCaption;
  QString poszlo = QStringLiteral("0");  // percent sent
  int TrackBarMax = 0;                   // kilobytes of the file
  int TrackBarPosition = 0;              // progress steps so far

  // Called once when the window ends, with its modal result.
  std::function<void(ModalResult)> OnEnd;
  // Called after the progress changed (activation and every step): repaint.
  std::function<void()> OnProgress;

  // --- state ---
  bool Aborted() const { return abort_; }
  bool Ended() const { return ended_; }
  ModalResult Result() const { return result_; }
  bool FileOpened() const { return fileOpened_; }
  std::int64_t FileSize() const { return fileSize_; }
  std::int64_t BytesSent() const { return bytesSent_; }
  std::int64_t Blocks() const { return blocks_; }
  // The sender still holds the port: a transfer runs, or the tail and the
  // drain of a broken-off one.
  bool Sending() const { return sender_ != nullptr; }
  // How closely the last finished transfer kept its pacing.
  TransferPacing LastPacing() const { return pacing_; }
  // The job file's full name.
  static QString JobFilePath();

  struct Sender;  // the sender thread's side

 private:
  bool ReadJobFile();
  void StartSender();
  // Takes the sender's reports on this thread: progress, the stream's end
  // and, once the port is back, the transfer's outcome.
  void TakeReports();
  // Called by the serial unit when this thread wants the port while the
  // sender holds it.
  bool Reclaim(bool force);
  // Waits for the sender to end and takes the port back.
  void BringPortHome(Sender& s);
  // The sender has ended: the port is home and the window learns the outcome.
  void FinishSender();
  void End(ModalResult result);

  QObject context_;  // queued calls from the sender land here
  std::unique_ptr<Sender> sender_;
  bool takingReports_ = false;
  bool abort_ = false;
  bool linkFailed_ = false;
  bool streamEnded_ = false;
  bool fileOpened_ = false;
  bool ended_ = false;
  ModalResult result_ = ModalResult::None;
  QByteArray job_;
  std::int64_t fileSize_ = 0;
  std::int64_t bytesSent_ = 0;
  std::int64_t blocks_ = 0;
  TransferPacing pacing_;
};

// The one transmission window of the program.
Ttransmisja& transmisja();
// A fresh window and no show handler (tests).
void ResetTransmisja();

// How the program's window shows the transmission modally; returns the
// previous handler. An empty handler makes ShowModal run without a window.
using TransmissionShowHandler = std::function<ModalResult(Ttransmisja&)>;
TransmissionShowHandler SetTransmissionShowHandler(TransmissionShowHandler handler);

// For the cut sequencer: shows the transmission window with `caption` for the
// job file already written and the controller's buffer already cleared.
// True only when the whole file reached the controller; otherwise the reason
// has been shown and the controller told to drop the partial job.
bool TransmitJobFile(const QString& caption);

}  // namespace vm
