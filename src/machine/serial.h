// The one serial connection to the machine's controller: fixed line settings,
// a byte-by-byte writer, a one-byte reader with a time-out, and the two globals
// every caller tests after an exchange (the port-error flag and the last error).
//
// Every call blocks the GUI thread until its bytes are written or its read has
// timed out. Nothing here throws; failures are reported only through the
// result of OpenPort, PortError and LastError.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace vm {

struct TSerialState {
  QByteArray PortName = "com1";  // set by OpenPort from the settings
  bool PortError = false;        // a write failed, or the line went dead
  // 0 when the last call succeeded; otherwise the system's error code (failed
  // open), the error code of a failed write, or 1 when a read returned no byte.
  std::uint32_t LastError = 0;
};

extern TSerialState SerialState;

// LastError of a read that returned no byte.
inline constexpr std::uint32_t kReadTimedOut = 1;
// A read waits this long for its byte.
inline constexpr int kReadTimeoutMs = 2000;
// A write of one byte gives up after this long.
inline constexpr int kWriteTimeoutMs = 2000;

// Opens the port chosen by the settings control Comnumber.
bool OpenPort();
// Opens "com1".."com5" by index (any other index opens "com1"): 115200 baud,
// even parity, 8 data bits, 2 stop bits, CTS flow control on output. On
// failure LastError holds the system's error code and the port is not open.
bool OpenPortIndex(int index);

// Writes the bytes of `s` one by one, each followed by a 0.2 ms pause. At the
// first byte that cannot be written: PortError := true, LastError := the
// error code, and the rest of `s` is not sent.
void SendString(const QByteArray& s);

// Reads one byte, waiting up to 2 s. With no byte: LastError := 1 and the
// result is 0. A dead line (read error, hang-up) closes the port and sets
// PortError as well, so no caller keeps polling it.
std::uint8_t ReadByte();

// One byte that the controller may or may not send, waiting at most `ms`
// milliseconds for it. Its absence is no error: LastError and PortError stay
// as they were, and the result is empty.
std::optional<std::uint8_t> ReadOptionalByte(int ms);

// Throws away whatever the controller sent that nobody has read yet.
void DiscardInput();

// Closes the port if it is open.
void ClosePort();
bool PortIsOpen();
// Error signals the port has raised so far.
int SerialErrorSignals();

// Closes the port and puts the state back to its start-up values.
void ResetSerial();

}  // namespace vm
