// The job transmission window's logic (Ttransmisja): streams the job file
// "out.cn" from the program folder to the controller byte by byte, paced by a
// 1 ms timer on the GUI thread, and ends with OK only when every byte of the
// file was written and the controller still answers.
//
// Each tick releases one more kilobyte for sending (the first tick one byte)
// and blocks while it writes it; the window repaints between ticks, so the
// operator can press Abort. An aborted or broken transfer ends with Cancel and
// the controller is told to drop what it received (20 bytes of value 64).
//
// The window widget (machine/ui/transmit_window.h) shows the texts and
// numbers held here and forwards its events to the handlers.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "shell/messages.h"

namespace vm {

// The job file beside the program.
inline constexpr const char* JobFileName = "out.cn";
// The controller's job buffer: a job of this size or larger does not fit.
inline constexpr std::int64_t kJobBufferBytes = 4194304;
// Bytes each tick releases for sending.
inline constexpr int kTransmitBlockBytes = 1024;
// The tail that breaks off a transfer: this many bytes of kAbortTailByte.
inline constexpr int kAbortTailBytes = 20;
inline constexpr char kAbortTailByte = 0x40;

class Ttransmisja {
 public:
  Ttransmisja();
  Ttransmisja(const Ttransmisja&) = delete;
  Ttransmisja& operator=(const Ttransmisja&) = delete;

  // --- handlers ---
  // Caption and button text from the language file.
  void FormCreate();
  // Checks the link and the machine, reads the job file and starts the timer.
  // Every refusal is shown (or was shown by the command layer) and makes the
  // first tick end the window with Cancel.
  void FormActivate();
  // One tick: sends the released bytes, updates the progress, ends the
  // window when the file is sent, aborted or the link failed.
  void Timer1Timer();
  // The Abort button: the next tick ends the window with Cancel.
  void PrzerwijClick();
  // The window has closed: stops the timer; after a started transfer either
  // reads the controller's reply to the complete job or, when it was broken
  // off, sends the abort tail and drains whatever the controller still sends.
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
  int TrackBarPosition = 0;              // ticks so far

  // Called once when the window ends, with its modal result.
  std::function<void(ModalResult)> OnEnd;
  // Called after the progress changed (activation and every tick): repaint.
  std::function<void()> OnProgress;

  // --- state ---
  QTimer& Timer1() { return timer_; }
  bool Aborted() const { return abort_; }
  bool Ended() const { return ended_; }
  ModalResult Result() const { return result_; }
  bool FileOpened() const { return fileOpened_; }
  std::int64_t FileSize() const { return fileSize_; }
  std::int64_t BytesSent() const { return bytesSent_; }
  std::int64_t Blocks() const { return blocks_; }
  // The job file's full name.
  static QString JobFilePath();

 private:
  bool ReadJobFile();
  void End(ModalResult result);

  QTimer timer_;
  bool abort_ = false;
  bool linkFailed_ = false;
  bool fileOpened_ = false;
  bool ended_ = false;
  ModalResult result_ = ModalResult::None;
  QByteArray job_;
  std::int64_t fileSize_ = 0;
  std::int64_t bytesSent_ = 0;
  std::int64_t blocks_ = 0;
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
