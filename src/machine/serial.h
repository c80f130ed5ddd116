// The one serial connection to the machine's controller: fixed line settings,
// a byte-by-byte writer, a one-byte reader with a time-out, and the two globals
// every caller tests after an exchange (the port-error flag and the last error).
//
// Every call blocks its caller until its bytes are written or its read has
// timed out. Nothing here throws; failures are reported only through the
// result of OpenPort, PortError and LastError. The port belongs to the GUI
// thread except while a job transfer holds it (see LendPort below).
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

class QThread;

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
// LastError of a call made while a job transfer holds the port: nothing was
// written or read.
inline constexpr std::uint32_t kPortBusy = 16;
// The pause after each byte written, in microseconds.
inline constexpr int kBytePauseUs = 200;

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
// Reads so far that waited their whole time-out (kReadTimeoutMs) and got no
// byte; a read on a closed or dead line gives up at once and is not counted.
int SerialReadTimeouts();

// Closes the port and puts the state back to its start-up values.
void ResetSerial();

// --- lending the port to a job transfer ---
// A job streams from a worker thread that holds the port for the transfer.
// While it is lent, the calls above made on any other thread never touch the
// port: they first ask the lender's reclaim function, which gives the port
// back when the transfer allows it (true: the call goes ahead), or leaves it
// lent (false: SendString, ReadByte and DiscardInput fail with kPortBusy and
// touch nothing). OpenPort, ClosePort and ResetSerial reclaim with `force`:
// the transfer is then broken off and the port always comes back.
using PortReclaim = std::function<bool(bool force)>;

// Called on the port's thread: hands the open port to `worker` (a thread that
// has not started yet). False when the port is not open or is already lent.
bool LendPort(QThread* worker, PortReclaim reclaim);
// Called on the worker before it ends: the port goes back to the thread that
// lent it. The worker touches nothing of the port afterwards.
void GiveBackPort();
// Called on the lending thread once the worker has ended: the port is home.
void PortCameHome();
// The port is lent to a transfer.
bool PortLent();

// The holder's own writer and reader: the line and the time-outs of
// SendString and ReadByte, reported through the result instead of the shared
// SerialState (which belongs to the lending thread).
struct HolderResult {
  std::uint32_t error = 0;  // 0, or what LastError would hold
  bool portError = false;   // what PortError would be set to
};
// Writes one byte without the pause. A set `giveUp` ends the wait for room
// on a held line: the byte is then not written and `gaveUp` is set.
HolderResult HolderWriteByte(char byte, const std::atomic<bool>* giveUp, bool* gaveUp);
// Reads one byte, waiting up to `timeoutMs`.
HolderResult HolderReadByte(std::uint8_t& byte, int timeoutMs = kReadTimeoutMs);
// Throws away what the controller sent that nobody has read yet.
void HolderDiscardInput();

}  // namespace vm
