// Move command and little-endian number encoders.
#include "drawing/move_encoding.h"

#include <cmath>
#include <cstdlib>

#include "drawing/byte_io.h"
#include "drawing/errors.h"
#include "drawing/rounding.h"

namespace vm {

QByteArray TMoveCmd::ToBytes() const {
  ByteWriter w;
  w.U8(static_cast<unsigned char>(Letter)).U8(Flags);
  w.U24(Count).U24(DX).U24(DY).U24(DZ);
  return w.take();
}

void WordToChars(std::uint16_t value, QByteArray& s) { s = ByteWriter().U16(value).take(); }

void Int24ToChars(std::int32_t value, QByteArray& s) {
  s = ByteWriter().U24(static_cast<std::uint32_t>(value) & 0xFFFFFFu).take();
}

void EncodeMove(std::int32_t factor, std::int32_t dX, std::int32_t dY, QByteArray& cmd,
                std::int32_t& count, std::int32_t dZ) {
  cmd.clear();
  const double x = dX, y = dY, z = dZ;
  count = CheckedMul(Round(std::sqrt(x * x + y * y + z * z) + 0.5), factor);
  TMoveCmd m;
  if (dX < 0) m.Flags |= TMoveCmd::kFlagXNegative;
  if (dY < 0) m.Flags |= TMoveCmd::kFlagYNegative;
  if (dZ < 0) m.Flags |= TMoveCmd::kFlagZNegative;
  if (count <= 0) return;
  m.Count = count;
  m.DX = std::llabs(std::int64_t{dX});
  m.DY = std::llabs(std::int64_t{dY});
  m.DZ = std::llabs(std::int64_t{dZ});
  cmd = m.ToBytes();
}

}  // namespace vm
