#include "machine/transmit.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "drawing/definicje.h"
#include "drawing/rounding.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "shell/interfejs.h"
#include "shell/program_info.h"

namespace vm {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kBytePause = std::chrono::microseconds(kBytePauseUs);
// A sender that fell this far behind its schedule (a machine too busy to run
// it) catches up at most this much; the rest of the delay is given up rather
// than sent in one unpaced burst.
constexpr auto kMostCatchUp = std::chrono::milliseconds(20);
// When the port is asked for during the drain, the drain ends at the first
// gap of this length between the controller's bytes (the line's own gap that
// ends a read).
constexpr int kHurriedDrainGapMs = 100;
// The drain reads in slices this long, to see a request for the port soon.
constexpr int kDrainSliceMs = 20;

enum class StreamEnd { None, EndOfFile, Aborted, LinkFailed };

// One step of the progress: the bytes sent by its end; the last step also
// tells how the stream ended.
struct Report {
  std::int64_t sent = 0;
  StreamEnd end = StreamEnd::None;
};

}  // namespace

// What the window and its sender thread share. The sender writes the results
// before it ends; the window reads them only after joining it.
struct Ttransmisja::Sender {
  std::unique_ptr<QThread> thread;
  QByteArray job;
  std::atomic<bool> abort{false};     // stop streaming after the current byte
  std::atomic<bool> hurry{false};     // the port is wanted: end the tail and drain soon
  std::atomic<bool> streaming{true};  // the job or the closing status query is on the line
  std::atomic<bool> done{false};      // the port has been given back
  bool home = false;                  // the window has taken it back (window's thread)

  std::mutex mutex;  // guards reports
  std::deque<Report> reports;

  // Results, valid once the thread has ended.
  HolderResult failure;     // the write that broke the stream
  HolderResult closing;     // the closing status query and reply, or the tail and drain
  std::uint8_t status = 0;  // the status byte of the closing query
  bool statusRead = false;
  TransferPacing pacing;

  void Post(QObject* context, Ttransmisja* window, Report r) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      reports.push_back(r);
    }
    QMetaObject::invokeMethod(
        context, [window] { window->TakeReports(); }, Qt::QueuedConnection);
  }

  // Writes `bytes` on the pacing schedule starting at `due`; stops at the
  // first failure. `giveUp` ends a wait for room on a held line.
  HolderResult WritePaced(const QByteArray& bytes, Clock::time_point& due,
                          const std::atomic<bool>* giveUp) {
    for (const char b : bytes) {
      std::this_thread::sleep_until(due);
      const auto started = Clock::now();
      bool gaveUp = false;
      const HolderResult r = HolderWriteByte(b, giveUp, &gaveUp);
      if (r.error != 0) return r;
      const auto written = Clock::now();
      due = std::max(due + (written - started) + kBytePause, written - kMostCatchUp);
    }
    return {};
  }

  void Run(QObject* context, Ttransmisja* window);
  void Stream(QObject* context, Ttransmisja* window);
  void CloseComplete();
  void CloseBrokenOff(bool portError);
};

void Ttransmisja::Sender::Run(QObject* context, Ttransmisja* window) {
  Stream(context, window);
  // Whatever happened, the port goes home before the window hears the end.
  GiveBackPort();
  done.store(true);
  QMetaObject::invokeMethod(
      context, [window] { window->TakeReports(); }, Qt::QueuedConnection);
}

void Ttransmisja::Sender::Stream(QObject* context, Ttransmisja* window) {
  const std::int64_t size = job.size();
  std::int64_t sent = 0;
  std::int64_t stepEnd = 1;  // the first step is one byte, every later one a kilobyte
  StreamEnd end = StreamEnd::EndOfFile;
  Clock::duration writing{};
  const auto first = Clock::now();
  Clock::time_point due = first;
  Clock::time_point last = first;
  while (sent < size) {
    if (abort.load()) {
      end = StreamEnd::Aborted;
      break;
    }
    std::this_thread::sleep_until(due);
    const auto started = Clock::now();
    bool gaveUp = false;
    const HolderResult r = HolderWriteByte(job[static_cast<qsizetype>(sent)], &abort, &gaveUp);
    const auto written = Clock::now();
    if (gaveUp) {
      end = StreamEnd::Aborted;  // the line was held: the byte did not go out
      break;
    }
    if (r.error != 0) {
      // The byte did not go out: it is not counted as sent.
      failure = r;
      end = StreamEnd::LinkFailed;
      break;
    }
    ++sent;
    writing += written - started;
    // The next byte is due one write and one pause after this one was due.
    due = std::max(due + (written - started) + kBytePause, written - kMostCatchUp);
    last = written + kBytePause;
    if (sent == stepEnd && sent < size) {
      Post(context, window, {sent, StreamEnd::None});
      stepEnd += kTransmitBlockBytes;
    }
  }
  pacing.bytes = sent;
  pacing.pacedSeconds =
      std::chrono::duration<double>(writing + kBytePause * static_cast<int>(sent)).count();
  pacing.elapsedSeconds = sent > 0 ? std::chrono::duration<double>(last - first).count() : 0.0;
  if (end == StreamEnd::EndOfFile) {
    Post(context, window, {sent, end});
    CloseComplete();
  } else {
    // The window ends with this report; what follows waits for no one, and
    // whoever wants the port from then on may cut it short.
    streaming.store(false);
    Post(context, window, {sent, end});
    CloseBrokenOff(end == StreamEnd::LinkFailed);
  }
}

// The whole job is in the controller: the closing status query, then the
// controller's reply to the complete job.
void Ttransmisja::Sender::CloseComplete() {
  HolderDiscardInput();
  Clock::time_point due = Clock::now();
  closing = WritePaced(QByteArrayLiteral("X"), due, nullptr);
  if (closing.error != 0) return;
  closing = HolderReadByte(status);
  if (closing.error != 0) {
    // The query's answer is missing: the link is lost.
    closing.portError = true;
    return;
  }
  statusRead = true;
  std::uint8_t reply = 0;
  closing = HolderReadByte(reply);
}

// The transfer was broken off: the tail tells the controller to drop what it
// received, then everything it still sends is drained until the line is
// quiet (or, when the port is wanted, until a short gap).
void Ttransmisja::Sender::CloseBrokenOff(bool portError) {
  Clock::time_point due = Clock::now();
  closing = WritePaced(QByteArray(kAbortTailBytes, kAbortTailByte), due, &hurry);
  if (closing.error != 0 || portError) {
    closing.portError = true;
    if (closing.error == 0) closing.error = failure.error;
    return;
  }
  auto lastByte = Clock::now();
  for (;;) {
    const int gap = hurry.load() ? kHurriedDrainGapMs : kReadTimeoutMs;
    const int quiet = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastByte).count());
    if (quiet >= gap) {
      closing = {kReadTimedOut, false};
      return;
    }
    std::uint8_t b = 0;
    const HolderResult r = HolderReadByte(b, std::min(gap - quiet, kDrainSliceMs));
    if (r.portError) {
      closing = r;
      return;
    }
    if (r.error == 0) lastByte = Clock::now();
  }
}

Ttransmisja::Ttransmisja() = default;

Ttransmisja::~Ttransmisja() {
  OnEnd = nullptr;
  OnProgress = nullptr;
  if (sender_) Reclaim(true);
}

QString Ttransmisja::JobFilePath() { return ProgramFolder() + QString::fromLatin1(JobFileName); }

void Ttransmisja::FormCreate() {
  Caption = Tr("Transmission", "caption");
  PrzerwijCaption = Tr("Transmission", "przerwij.caption");
}

void Ttransmisja::FormActivate() {
  // The tail of a transfer broken off just before is cut short.
  if (sender_) Reclaim(true);
  abort_ = false;
  linkFailed_ = false;
  streamEnded_ = false;
  fileOpened_ = false;
  ended_ = false;
  result_ = ModalResult::None;
  job_.clear();
  fileSize_ = 0;
  bytesSent_ = 0;
  blocks_ = 0;

  ReadStatus();
  if (LinkFailed()) {
    // The command layer has shown the lost link already.
    linkFailed_ = true;
    abort_ = true;
  } else if (PlotState.Status & kStatusJobRunning) {
    ShowMessageBox(Tr("Transmission", "wyslanieZbioruNiemozliwe"), true);
    abort_ = true;
  } else if (!ReadJobFile()) {
    abort_ = true;
  } else {
    fileOpened_ = true;
    poszlo = QStringLiteral("0");
    TrackBarMax = Round(static_cast<double>(fileSize_) / kTransmitBlockBytes);
    TrackBarPosition = 0;
    if (OnProgress) OnProgress();
    StartSender();
  }
  if (abort_) {
    // A refused start ends the window once it is up, as a first progress
    // step would.
    QMetaObject::invokeMethod(
        &context_,
        [this] {
          if (ended_ || sender_) return;
          ++blocks_;
          TrackBarPosition = static_cast<int>(blocks_);
          if (OnProgress) OnProgress();
          End(ModalResult::Cancel);
        },
        Qt::QueuedConnection);
  }
}

void Ttransmisja::StartSender() {
  auto sender = std::make_unique<Sender>();
  Sender* s = sender.get();
  s->job = job_;
  s->abort.store(abort_);  // Abort pressed before the first byte
  s->thread.reset(QThread::create([s, this] { s->Run(&context_, this); }));
  if (!LendPort(s->thread.get(), [this](bool force) { return Reclaim(force); })) {
    // The port closed since the status query.
    linkFailed_ = true;
    abort_ = true;
    fileOpened_ = false;
    ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
    return;
  }
  sender_ = std::move(sender);
  s->thread->start();
}

// Reads the whole job file. An empty file is refused silently; a missing,
// unreadable or too large one with a message.
bool Ttransmisja::ReadJobFile() {
  const QString path = JobFilePath();
  QFile file(path);
  const auto cannotOpen = [&] {
    ShowMessageBox(Tr("Universal", "zbioruNieMoznaOtworzyc") + QDir::toNativeSeparators(path),
                   true);
    return false;
  };
  if (!file.open(QIODevice::ReadOnly)) return cannotOpen();
  const qint64 size = file.size();
  if (size >= kJobBufferBytes) {
    ShowMessageBox(Tr("Main_window", "ploterPrzekroczonyBufor"), true);
    return false;
  }
  if (size <= 0) return false;
  QByteArray bytes = file.readAll();
  if (bytes.size() != size || file.error() != QFileDevice::NoError) return cannotOpen();
  job_ = std::move(bytes);
  fileSize_ = size;
  return true;
}

void Ttransmisja::TakeReports() {
  // A message box shown below runs a nested event loop: the reports that
  // arrive meanwhile are taken by the outer call.
  if (takingReports_) return;
  takingReports_ = true;
  for (;;) {
    Sender* s = sender_.get();
    if (s == nullptr) break;
    Report r;
    {
      std::lock_guard<std::mutex> lock(s->mutex);
      if (s->reports.empty()) break;
      r = s->reports.front();
      s->reports.pop_front();
    }
    // One progress step, as one tick of the window's timer showed it.
    bytesSent_ = r.sent;
    if (fileSize_ != 0) {
      poszlo = QString::number(Round(static_cast<double>(bytesSent_) * 100.0 / fileSize_));
    }
    ++blocks_;
    TrackBarPosition = static_cast<int>(blocks_);
    if (OnProgress) OnProgress();
    if (r.end == StreamEnd::None) continue;
    streamEnded_ = true;
    if (r.end == StreamEnd::Aborted) abort_ = true;
    if (r.end == StreamEnd::LinkFailed) {
      linkFailed_ = true;
      abort_ = true;
      ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
    }
    // A broken-off transfer ends the window now; a complete one once the
    // closing status query has been answered.
    if (abort_ && !ended_) End(ModalResult::Cancel);
  }
  takingReports_ = false;
  if (sender_ && sender_->done.load()) FinishSender();
}

bool Ttransmisja::Reclaim(bool force) {
  Sender* s = sender_.get();
  if (s == nullptr) {
    PortCameHome();
    return true;
  }
  // The job and its closing query are never interrupted by another caller.
  if (!force && s->streaming.load() && !s->done.load()) return false;
  if (force) s->abort.store(true);
  s->hurry.store(true);
  BringPortHome(*s);
  TakeReports();
  return true;
}

void Ttransmisja::BringPortHome(Sender& s) {
  if (s.home) return;
  s.thread->wait();
  s.home = true;
  PortCameHome();
  pacing_ = s.pacing;
  // The shared link state as the last exchange of the transfer left it.
  if (s.failure.portError || s.closing.portError) SerialState.PortError = true;
  SerialState.LastError = s.closing.error != 0 ? s.closing.error : s.failure.error;
}

void Ttransmisja::FinishSender() {
  std::unique_ptr<Sender> s = std::move(sender_);
  BringPortHome(*s);
  if (ended_) return;
  // The stream ended complete: OK when the controller answered the closing
  // status query.
  if (!s->statusRead) {
    linkFailed_ = true;
    abort_ = true;
    PlotState.Status = 0;
    ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
    End(ModalResult::Cancel);
    return;
  }
  PlotState.Status = s->status;
  End(ModalResult::OK);
}

void Ttransmisja::End(ModalResult result) {
  ended_ = true;
  result_ = result;
  if (OnEnd) OnEnd(result);
}

void Ttransmisja::PrzerwijClick() {
  // Once the last byte went out the transfer is complete.
  if (streamEnded_ || ended_) return;
  abort_ = true;
  if (sender_) sender_->abort.store(true);
}

void Ttransmisja::FormDeactivate() {
  if (!fileOpened_) return;
  fileOpened_ = false;
  job_.clear();
}

ModalResult Ttransmisja::RunModal() {
  QEventLoop loop;
  auto previous = std::move(OnEnd);
  OnEnd = [&loop](ModalResult) { loop.quit(); };
  FormActivate();
  if (!ended_) loop.exec();
  OnEnd = std::move(previous);
  FormDeactivate();
  return result_;
}

namespace {

struct TransmitUnit {
  std::unique_ptr<Ttransmisja> window;
  TransmissionShowHandler showHandler;
};

TransmitUnit& Unit() {
  static TransmitUnit unit;
  return unit;
}

}  // namespace

ModalResult Ttransmisja::ShowModal() {
  if (const TransmissionShowHandler& show = Unit().showHandler) return show(*this);
  return RunModal();
}

Ttransmisja& transmisja() {
  auto& w = Unit().window;
  if (!w) w = std::make_unique<Ttransmisja>();
  return *w;
}

void ResetTransmisja() {
  Unit().showHandler = nullptr;
  Unit().window.reset();
}

TransmissionShowHandler SetTransmissionShowHandler(TransmissionShowHandler handler) {
  TransmissionShowHandler old = std::move(Unit().showHandler);
  Unit().showHandler = std::move(handler);
  return old;
}

bool TransmitJobFile(const QString& caption) {
  Ttransmisja& w = transmisja();
  w.Caption = caption;
  return w.ShowModal() == ModalResult::OK;
}

}  // namespace vm
