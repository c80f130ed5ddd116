// Decodes the byte stream of a job file (and of single controller commands)
// into a list of commands, so that tests and the controller emulator read jobs
// the same way.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vm::sim {

// One decoded command. Only the fields that belong to the command's letter are
// meaningful; the others stay 0.
struct JobCommand {
  char letter = 0;         // 'a' move, 'p' pause, 'l' step period, 'v' speed slot,
                           // 'f' select slot, 't' heating power, 'r' relay, 'w' hold
  std::uint8_t flags = 0;  // move: bit 0 X negative, bit 1 Y negative, bit 2 Z negative
  std::int32_t count = 0;  // move: step count
  std::int32_t dx = 0;     // move: signed deltas (the flags applied to the magnitudes)
  std::int32_t dy = 0;
  std::int32_t dz = 0;
  int value = 0;    // 'p' milliseconds, 'l' and 'v' period, 't' level, 'r' state, 'f' slot
  int slot = 0;     // 'v' slot
  int channel = 0;  // 't' and 'r' heating channel

  // Compact text form: "a 6 -3 4 0", "p 10", "l 134", "v 1 800", "f 1",
  // "t 1 255", "r 1 3", "w". Moves give the count, then dX dY dZ.
  QString ToString() const;
  bool operator==(const JobCommand&) const = default;
};

// Number of bytes that follow the letter of a job command, or -1 when the
// byte is not a job command letter.
int JobPayloadLength(std::uint8_t letter);

// Decodes one job command from `data` (letter first). Returns the bytes used,
// 0 when the data ends inside the command, -1 for an unknown letter.
int DecodeJobCommand(const std::uint8_t* data, std::size_t size, JobCommand& out);

struct JobDecodeResult {
  std::vector<JobCommand> commands;
  qsizetype errorOffset = -1;  // offset of the first byte that could not be decoded
  QString error;               // empty when the whole stream decoded
  bool ok() const { return errorOffset < 0; }
  // The commands in their text form, for readable comparisons.
  QStringList Texts() const;
};

// Decodes a whole job file. Decoding stops at an unknown letter or at a
// command cut short by the end of the data; the commands before it are kept.
JobDecodeResult DecodeJob(const QByteArray& bytes);

// Reads a 24-bit little-endian number, sign-extended from bit 23.
std::int32_t ReadInt24(const std::uint8_t* p);
// Reads a 24-bit little-endian number without sign (move magnitudes).
std::int32_t ReadUInt24(const std::uint8_t* p);

}  // namespace vm::sim
