#include "machine/serial.h"

#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

#include "shell/konfig.h"
#include "shell/port_names.h"

namespace vm {

TSerialState SerialState;

namespace {

std::unique_ptr<QSerialPort> g_port;
// Set from the port's error signal when the line has gone dead; the port is
// closed at the next call into this unit (never from inside the signal).
// Only the thread that holds the port touches it.
bool g_dead = false;
// Error signals of the port so far (a dead line must not flood the event loop).
std::atomic<int> g_errorSignals{0};
// Reads that waited their whole time-out for nothing.
std::atomic<int> g_readTimeouts{0};

// The thread a job transfer has borrowed the port for, or none; the thread
// that lent it; and how to ask for it back.
std::atomic<QThread*> g_holder{nullptr};
QThread* g_lender = nullptr;
PortReclaim g_reclaim;

// True when the calling thread may use the port now: it is not lent, the
// caller holds it, or the lender's reclaim brought it back.
bool MayUsePort(bool force) {
  QThread* holder = g_holder.load();
  if (holder == nullptr || holder == QThread::currentThread()) return true;
  if (!g_reclaim) return false;
  // The reclaim may end the loan and clear g_reclaim: call a copy.
  const PortReclaim reclaim = g_reclaim;
  return reclaim(force) && g_holder.load() == nullptr;
}

bool IsDeadLineError(QSerialPort::SerialPortError e) {
  return e == QSerialPort::ReadError || e == QSerialPort::ResourceError ||
         e == QSerialPort::WriteError;
}

// The system's error code for a failed open.
std::uint32_t OpenErrorCode(QSerialPort::SerialPortError e, int savedErrno) {
  switch (e) {
    case QSerialPort::DeviceNotFoundError:
      return ENOENT;
    case QSerialPort::PermissionError:
      return savedErrno == EBUSY ? EBUSY : EACCES;
    default:
      return savedErrno != 0 ? static_cast<std::uint32_t>(savedErrno) : EIO;
  }
}

void CloseDeadPort() {
  if (g_dead && g_port && g_port->isOpen()) g_port->close();
  g_dead = false;
}

}  // namespace

bool OpenPort() { return OpenPortIndex(Dlgkonfig().Comnumber.ItemIndex()); }

bool OpenPortIndex(int index) {
  MayUsePort(true);
  SerialState.PortName = PortNameOfIndex(index).toLatin1();
  if (!g_port) {
    g_port = std::make_unique<QSerialPort>();
    QObject::connect(g_port.get(), &QSerialPort::errorOccurred, [](QSerialPort::SerialPortError e) {
      ++g_errorSignals;
      if (!IsDeadLineError(e) || g_dead) return;
      // The port reports a dead line over and over while the event loop
      // runs: close it right after this signal.
      g_dead = true;
      QMetaObject::invokeMethod(
          g_port.get(), [] { CloseDeadPort(); }, Qt::QueuedConnection);
    });
  }
  if (g_port->isOpen()) g_port->close();
  g_dead = false;
  g_port->setPortName(PortDevicePath(QString::fromLatin1(SerialState.PortName)));
  // The line settings are given before the open, which applies them all at
  // once: a pseudo-terminal silently drops the parity bit, and a setter on an
  // open port would report that as a failure.
  g_port->setBaudRate(115200);
  g_port->setDataBits(QSerialPort::Data8);
  g_port->setParity(QSerialPort::EvenParity);
  g_port->setStopBits(QSerialPort::TwoStop);
  g_port->setFlowControl(QSerialPort::HardwareControl);
  errno = 0;
  const bool opened = g_port->open(QIODevice::ReadWrite);
  const int savedErrno = errno;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (!opened) {
    SerialState.LastError = OpenErrorCode(g_port->error(), savedErrno);
    g_port->clearError();
    return false;
  }
  g_port->clear();
  g_port->clearError();
  SerialState.PortError = false;
  SerialState.LastError = 0;
  return true;
}

namespace {

// Writes one byte straight to the device, waiting up to the write time-out
// for room. Bypassing the port's own buffer means a byte that could not be
// written is gone, never sent later behind the caller's back. Returns 0 or the
// error code. A set `giveUp` ends the wait for room early (`gaveUp` then set).
std::uint32_t WriteOneByte(char byte, const std::atomic<bool>* giveUp = nullptr,
                           bool* gaveUp = nullptr) {
  if (!g_port || !g_port->isOpen()) return static_cast<std::uint32_t>(QSerialPort::NotOpenError);
  const int fd = static_cast<int>(g_port->handle());
  QElapsedTimer t;
  t.start();
  for (;;) {
    const ssize_t w = ::write(fd, &byte, 1);
    if (w == 1) return 0;
    if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      // EIO after a hang-up, or another failure of the device.
      g_dead = true;
      return static_cast<std::uint32_t>(QSerialPort::WriteError);
    }
    int left = kWriteTimeoutMs - static_cast<int>(t.elapsed());
    if (left <= 0) return static_cast<std::uint32_t>(QSerialPort::TimeoutError);
    if (giveUp != nullptr) {
      if (giveUp->load()) {
        if (gaveUp != nullptr) *gaveUp = true;
        return static_cast<std::uint32_t>(QSerialPort::TimeoutError);
      }
      left = std::min(left, 10);  // look at `giveUp` again soon
    }
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, left) > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLOUT)) {
      g_dead = true;
      return static_cast<std::uint32_t>(QSerialPort::ResourceError);
    }
  }
}

// Reads one byte, waiting up to `timeoutMs`.
HolderResult ReadOneByte(std::uint8_t& out, int timeoutMs) {
  out = 0;
  CloseDeadPort();
  if (!g_port || !g_port->isOpen()) return {kReadTimedOut, false};
  QElapsedTimer t;
  t.start();
  while (g_port->bytesAvailable() == 0) {
    const int left = timeoutMs - static_cast<int>(t.elapsed());
    if (left <= 0) break;
    const bool ready = g_port->waitForReadyRead(left);
    if (g_dead || IsDeadLineError(g_port->error())) {
      // Read error or hang-up: the link is gone. Close it and say so once,
      // instead of letting every caller wait or spin on it.
      g_dead = true;
      CloseDeadPort();
      return {kReadTimedOut, true};
    }
    if (!ready && g_port->error() == QSerialPort::TimeoutError) g_port->clearError();
  }
  char c = 0;
  if (g_port->bytesAvailable() > 0 && g_port->read(&c, 1) == 1) {
    out = static_cast<std::uint8_t>(c);
    return {};
  }
  ++g_readTimeouts;
  return {kReadTimedOut, false};
}

void DiscardPending() {
  CloseDeadPort();
  if (!g_port || !g_port->isOpen()) return;
  // Take in what the system already holds, then drop it all.
  g_port->waitForReadyRead(0);
  if (g_dead) {
    CloseDeadPort();
    return;
  }
  g_port->clearError();
  g_port->readAll();
  g_port->clear(QSerialPort::Input);
}

}  // namespace

void SendString(const QByteArray& s) {
  SerialState.LastError = 0;
  if (!MayUsePort(false)) {
    if (!s.isEmpty()) {
      SerialState.LastError = kPortBusy;
      SerialState.PortError = true;
    }
    return;
  }
  CloseDeadPort();
  // The pause after each byte keeps to a steady-clock schedule: the next byte
  // is due one write and one pause after this one was due (a sleep of its own
  // per byte overshoots by half on a busy machine).
  using Clock = std::chrono::steady_clock;
  Clock::time_point due = Clock::now();
  for (const char byte : s) {
    std::this_thread::sleep_until(due);
    const auto started = Clock::now();
    const std::uint32_t error = WriteOneByte(byte);
    if (error != 0) {
      SerialState.LastError = error;
      SerialState.PortError = true;
      CloseDeadPort();
      return;
    }
    due += (Clock::now() - started) + std::chrono::microseconds(kBytePauseUs);
  }
  std::this_thread::sleep_until(due);
}

std::uint8_t ReadByte() {
  SerialState.LastError = 0;
  if (!MayUsePort(false)) {
    SerialState.LastError = kPortBusy;
    return 0;
  }
  std::uint8_t byte = 0;
  const HolderResult r = ReadOneByte(byte, kReadTimeoutMs);
  SerialState.LastError = r.error;
  if (r.portError) SerialState.PortError = true;
  return byte;
}

std::optional<std::uint8_t> ReadOptionalByte(int ms) {
  if (!MayUsePort(false)) return std::nullopt;
  CloseDeadPort();
  if (!g_port || !g_port->isOpen()) return std::nullopt;
  QElapsedTimer t;
  t.start();
  while (g_port->bytesAvailable() == 0) {
    const int left = ms - static_cast<int>(t.elapsed());
    if (left <= 0) return std::nullopt;
    const bool ready = g_port->waitForReadyRead(left);
    if (g_dead || IsDeadLineError(g_port->error())) {
      g_dead = true;
      CloseDeadPort();
      SerialState.PortError = true;
      SerialState.LastError = kReadTimedOut;
      return std::nullopt;
    }
    if (!ready && g_port->error() == QSerialPort::TimeoutError) g_port->clearError();
  }
  char c = 0;
  if (g_port->read(&c, 1) == 1) return static_cast<std::uint8_t>(c);
  return std::nullopt;
}

HolderResult HolderWriteByte(char byte, const std::atomic<bool>* giveUp, bool* gaveUp) {
  CloseDeadPort();
  const std::uint32_t error = WriteOneByte(byte, giveUp, gaveUp);
  if (error == 0) return {};
  CloseDeadPort();
  return {error, true};
}

HolderResult HolderReadByte(std::uint8_t& byte, int timeoutMs) {
  return ReadOneByte(byte, timeoutMs);
}

void HolderDiscardInput() { DiscardPending(); }

void DiscardInput() {
  if (!MayUsePort(false)) return;
  DiscardPending();
}

void ClosePort() {
  MayUsePort(true);
  if (g_port && g_port->isOpen()) g_port->close();
  g_dead = false;
}

int SerialErrorSignals() { return g_errorSignals.load(); }

int SerialReadTimeouts() { return g_readTimeouts.load(); }

bool PortIsOpen() {
  // A lent port is open: the transfer holds it.
  if (g_holder.load() != nullptr && g_holder.load() != QThread::currentThread()) return true;
  CloseDeadPort();
  return g_port && g_port->isOpen();
}

void ResetSerial() {
  ClosePort();
  SerialState = TSerialState{};
}

bool LendPort(QThread* worker, PortReclaim reclaim) {
  if (worker == nullptr || g_holder.load() != nullptr) return false;
  CloseDeadPort();
  if (!g_port || !g_port->isOpen()) return false;
  g_lender = QThread::currentThread();
  g_reclaim = std::move(reclaim);
  g_port->moveToThread(worker);
  g_holder.store(worker);
  return true;
}

void GiveBackPort() {
  if (g_holder.load() != QThread::currentThread()) return;
  if (g_port && g_port->thread() == QThread::currentThread()) g_port->moveToThread(g_lender);
}

void PortCameHome() {
  if (g_holder.load() == nullptr) return;
  g_holder.store(nullptr);
  g_reclaim = nullptr;
  g_lender = nullptr;
}

bool PortLent() { return g_holder.load() != nullptr; }

}  // namespace vm
