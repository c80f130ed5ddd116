#include "machine/serial.h"

#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
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
bool g_dead = false;
// Error signals of the port so far (a dead line must not flood the event loop).
int g_errorSignals = 0;

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

void PauseAfterByte() { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

}  // namespace

bool OpenPort() { return OpenPortIndex(Dlgkonfig().Comnumber.ItemIndex()); }

bool OpenPortIndex(int index) {
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
// error code.
std::uint32_t WriteOneByte(char byte) {
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
    const int left = kWriteTimeoutMs - static_cast<int>(t.elapsed());
    if (left <= 0) return static_cast<std::uint32_t>(QSerialPort::TimeoutError);
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, left) > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLOUT)) {
      g_dead = true;
      return static_cast<std::uint32_t>(QSerialPort::ResourceError);
    }
  }
}

}  // namespace

void SendString(const QByteArray& s) {
  SerialState.LastError = 0;
  CloseDeadPort();
  for (const char byte : s) {
    const std::uint32_t error = WriteOneByte(byte);
    if (error != 0) {
      SerialState.LastError = error;
      SerialState.PortError = true;
      CloseDeadPort();
      return;
    }
    PauseAfterByte();
  }
}

std::uint8_t ReadByte() {
  SerialState.LastError = 0;
  CloseDeadPort();
  if (!g_port || !g_port->isOpen()) {
    SerialState.LastError = kReadTimedOut;
    return 0;
  }
  QElapsedTimer t;
  t.start();
  while (g_port->bytesAvailable() == 0) {
    const int left = kReadTimeoutMs - static_cast<int>(t.elapsed());
    if (left <= 0) break;
    const bool ready = g_port->waitForReadyRead(left);
    if (g_dead || IsDeadLineError(g_port->error())) {
      // Read error or hang-up: the link is gone. Close it and say so once,
      // instead of letting every caller wait or spin on it.
      g_dead = true;
      CloseDeadPort();
      SerialState.PortError = true;
      SerialState.LastError = kReadTimedOut;
      return 0;
    }
    if (!ready && g_port->error() == QSerialPort::TimeoutError) g_port->clearError();
  }
  char c = 0;
  if (g_port->bytesAvailable() > 0 && g_port->read(&c, 1) == 1) return static_cast<std::uint8_t>(c);
  SerialState.LastError = kReadTimedOut;
  return 0;
}

std::optional<std::uint8_t> ReadOptionalByte(int ms) {
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

void DiscardInput() {
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

void ClosePort() {
  if (g_port && g_port->isOpen()) g_port->close();
  g_dead = false;
}

int SerialErrorSignals() { return g_errorSignals; }

bool PortIsOpen() {
  CloseDeadPort();
  return g_port && g_port->isOpen();
}

void ResetSerial() {
  ClosePort();
  SerialState = TSerialState{};
}

}  // namespace vm
