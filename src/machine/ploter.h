// The program's vocabulary towards the machine's controller: the interactive
// commands, the decoding of their replies into PlotState, and the operations
// built on them (waiting for the machine, the heating ramp, jogging).
//
// Every exchange is synchronous: the command is written, then its reply is read
// byte by byte. Before a command is written, whatever the controller sent that
// nobody read is thrown away, and an exchange is given up at its first missing
// reply byte: a dead or silent controller costs one time-out per exchange, and
// a late or short reply can never shift the replies that follow. The failure
// of the link is shown to the operator once, until the controller answers again.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "machine/abort_probe.h"

namespace vm {

// Status bits of the "X" reply.
inline constexpr std::uint8_t kStatusBusy = 0x01;         // motion in progress
inline constexpr std::uint8_t kStatusJobRunning = 0x02;   // a job runs from the buffer
inline constexpr std::uint8_t kStatusRelay = 0x04;        // heating relay on
inline constexpr std::uint8_t kStatusJobStopped = 0x08;   // with 0x20: a stopped job can continue
inline constexpr std::uint8_t kStatusHeld = 0x10;         // with 0x02: a running job is held
inline constexpr std::uint8_t kStatusCanContinue = 0x20;  // see 0x08
inline constexpr std::uint8_t kStatusHomed = 0x40;        // position known
inline constexpr std::uint8_t kStatusWireBroken = 0x80;   // wire broken (fuse for "JX")
// A status reply equal to the letter "X": the line echoes, no controller.
inline constexpr std::uint16_t kNoControllerStatus = 88;

// Longest WaitWhileBusy waits for the machine before it stops the motion.
inline constexpr int kWaitWhileBusyTimeoutMs = 30 * 60 * 1000;

// --- exchanges ---
// Starts an exchange: discards unread input and writes `text`. A failed write
// shows ("Control", "ploterBrakLacznosci") with the caption "wr ".
void SendCommand(const QByteArray& text);
// As SendCommand, without the message (the sequencer's "C" and "G").
void SendCommandSilently(const QByteArray& text);
// One byte of the reply to the current exchange. After the exchange's first
// missing byte it returns 0 at once with LastError 1 and PortError set. While
// PortError stays set (until the next status query or OpenPort), commands are
// still written but their replies are not waited for: ReadStatus is the probe
// that finds the link again.
std::uint8_t ReadReplyByte();
// The bytes of a command, letter first: Bytes({'R', 1, 3}).
QByteArray Bytes(std::initializer_list<int> values);
// One acknowledged command: the command, then its acknowledge byte.
void Command(const QByteArray& text);
// Reads and discards `count` acknowledge bytes.
void ReadAck(int count = 1);
std::int32_t ReadInt24();
std::uint16_t ReadWord();
// The last exchange failed: PortError or LastError is set.
bool LinkFailed();

// --- commands ---
void ReadStatus();
void StopMotion();
void ReadPosition();
void ReadValueO();
void ReadPower();
void ReadSpeeds();
void SetSpeed(std::uint16_t period);
void SetPowerLevel();
void HeaterRelayOn();
void ToggleHeater();
// Soft start of the heating wire on `channel` up to `percent`; stops early
// when the controller reports a broken wire or the link fails.
void PowerRamp(int channel, int percent);
// Polls the status until the motion bit clears. A key or left click (the
// probe) or the time-out stops the motion with "Y". True when the machine is
// idle; false when aborted, timed out or the link failed: the caller then
// sends the machine no further move. Without a probe of its own the wait asks
// the operator's probe (SetWaitProbeFactory), made only once the machine is
// found moving: a wait on an idle machine leaves the operator's input alone.
bool WaitWhileBusy(AbortProbe* probe = nullptr, int timeoutMs = kWaitWhileBusyTimeoutMs);
// Makes the operator's probe for the waits given none. The program installs
// one at start-up; an empty factory (the start value) leaves such waits to
// the idle machine, the time-out and the link.
using WaitProbeFactory = std::function<std::unique_ptr<AbortProbe>()>;
void SetWaitProbeFactory(WaitProbeFactory factory);
void ReadMachineInfo();
double RotationAngle();
void LoadCalibration();
void SelectStepsPerTurn();
// Continuous jog towards an end of travel for a key code; the motion ends
// when the caller sends "Y" on release.
void JogMove(int key, AbortProbe* probe = nullptr);

// Puts the command layer's state (the reported-failure latch, the wait probe
// factory) back to start.
void ResetPloter();

}  // namespace vm
