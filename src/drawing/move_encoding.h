// Byte encoders of the machine protocol: 16-bit and 24-bit little-endian
// numbers and the 14-byte move command "A".
#pragma once

#include <QByteArray>
#include <cstdint>

namespace vm {

// The move command: "A", direction flags (bit 0 X, bit 1 Y, bit 2 rotation
// negative), then the step count and |dX|, |dY|, |dZ| as 24-bit little-endian.
struct TMoveCmd {
  static constexpr int kSize = 14;
  static constexpr std::uint8_t kFlagXNegative = 0x01;
  static constexpr std::uint8_t kFlagYNegative = 0x02;
  static constexpr std::uint8_t kFlagZNegative = 0x04;
  static constexpr std::int64_t kMax24 = 0xFFFFFF;

  char Letter = 'A';
  std::uint8_t Flags = 0;
  std::int64_t Count = 0;
  std::int64_t DX = 0;  // magnitudes
  std::int64_t DY = 0;
  std::int64_t DZ = 0;

  // The 14 bytes; RangeError when the count or an amount does not fit 24 bits.
  QByteArray ToBytes() const;
};

// s := low byte, high byte.
void WordToChars(std::uint16_t value, QByteArray& s);

// s := bits 0-7, 8-15, 16-23 of value (its low 24 bits; -1 gives FF FF FF).
void Int24ToChars(std::int32_t value, QByteArray& s);

// Builds the move by dX, dY (machine units) and dZ (rotary steps):
// count = Round(length + 0.5) * factor, returned in every case. A count that is
// not positive gives an empty command. A count or an amount that does not fit
// 24 bits raises RangeError (with count already set) instead of a wrong move.
void EncodeMove(std::int32_t factor, std::int32_t dX, std::int32_t dY, QByteArray& cmd,
                std::int32_t& count, std::int32_t dZ);

}  // namespace vm
