#include "machine/transmit.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/rounding.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "shell/interfejs.h"
#include "shell/program_info.h"

namespace vm {

Ttransmisja::Ttransmisja() {
  timer_.setInterval(1);
  timer_.setSingleShot(false);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Timer1Timer(); });
}

QString Ttransmisja::JobFilePath() { return ProgramFolder() + QString::fromLatin1(JobFileName); }

void Ttransmisja::FormCreate() {
  Caption = Tr("Transmission", "caption");
  PrzerwijCaption = Tr("Transmission", "przerwij.caption");
}

void Ttransmisja::FormActivate() {
  timer_.stop();
  abort_ = false;
  linkFailed_ = false;
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
  }
  // Also after a refusal: the first tick ends the window.
  timer_.start();
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

void Ttransmisja::Timer1Timer() {
  if (ended_) return;
  // Bytes up to blocks x 1024 + 1 are released: one on the first tick, then
  // a kilobyte on every tick.
  while (!abort_ && bytesSent_ < job_.size() && blocks_ * kTransmitBlockBytes >= bytesSent_) {
    SendString(QByteArray(1, job_[static_cast<qsizetype>(bytesSent_)]));
    if (SerialState.PortError || SerialState.LastError != 0) {
      // The byte did not go out: it is not counted as sent.
      timer_.stop();
      linkFailed_ = true;
      abort_ = true;
      ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
      break;
    }
    ++bytesSent_;
  }
  if (linkFailed_) timer_.stop();  // already reported, once
  if (fileSize_ != 0) {
    poszlo = QString::number(Round(static_cast<double>(bytesSent_) * 100.0 / fileSize_));
  }
  ++blocks_;
  TrackBarPosition = static_cast<int>(blocks_);
  if (OnProgress) OnProgress();
  if (!abort_ && bytesSent_ < job_.size()) return;

  if (abort_ || linkFailed_) {
    End(ModalResult::Cancel);
    return;
  }
  ReadStatus();
  if (LinkFailed()) {
    // Every byte was written but the controller no longer answers: that is
    // not a confirmed transfer (the command layer has shown the failure).
    linkFailed_ = true;
    abort_ = true;
    End(ModalResult::Cancel);
    return;
  }
  End(ModalResult::OK);
}

void Ttransmisja::End(ModalResult result) {
  timer_.stop();
  ended_ = true;
  result_ = result;
  if (OnEnd) OnEnd(result);
}

void Ttransmisja::PrzerwijClick() { abort_ = true; }

void Ttransmisja::FormDeactivate() {
  // Whatever ended the window, no tick runs after it.
  timer_.stop();
  if (!fileOpened_) return;
  fileOpened_ = false;
  job_.clear();
  if (abort_) {
    SendString(QByteArray(kAbortTailBytes, kAbortTailByte));
    while (!SerialState.PortError) {
      ReadByte();
      if (SerialState.LastError != 0) break;
    }
  } else {
    ReadByte();  // the controller's reply to the complete job
  }
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
