// Little-endian byte writer and bounds-checked reader.
#include "drawing/byte_io.h"

#include <string>

#include "drawing/errors.h"

namespace vm {

namespace {
void CheckRange(std::int64_t v, std::int64_t lo, std::int64_t hi, const char* what) {
  if (v < lo || v > hi) {
    throw RangeError(std::string(what) + ": value " + std::to_string(v) + " does not fit");
  }
}
}  // namespace

void ByteWriter::PutLE(std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) bytes_.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

ByteWriter& ByteWriter::U8(std::int64_t v) {
  CheckRange(v, 0, 0xFF, "8-bit field");
  PutLE(static_cast<std::uint64_t>(v), 1);
  return *this;
}

ByteWriter& ByteWriter::U16(std::int64_t v) {
  CheckRange(v, 0, 0xFFFF, "16-bit field");
  PutLE(static_cast<std::uint64_t>(v), 2);
  return *this;
}

ByteWriter& ByteWriter::U24(std::int64_t v) {
  CheckRange(v, 0, 0xFFFFFF, "24-bit field");
  PutLE(static_cast<std::uint64_t>(v), 3);
  return *this;
}

ByteWriter& ByteWriter::I32(std::int64_t v) {
  CheckRange(v, INT32_MIN, INT32_MAX, "32-bit signed field");
  PutLE(static_cast<std::uint32_t>(static_cast<std::int32_t>(v)), 4);
  return *this;
}

ByteWriter& ByteWriter::U32(std::int64_t v) {
  CheckRange(v, 0, 0xFFFFFFFFLL, "32-bit field");
  PutLE(static_cast<std::uint64_t>(v), 4);
  return *this;
}

ByteWriter& ByteWriter::Raw(const QByteArray& b) {
  bytes_.append(b);
  return *this;
}

ByteWriter& ByteWriter::Raw(const char* data, qsizetype size) {
  if (size < 0) throw RangeError("negative byte count");
  bytes_.append(data, size);
  return *this;
}

ByteWriter& ByteWriter::Fill(qsizetype count, char byte) {
  if (count < 0) throw RangeError("negative byte count");
  bytes_.append(count, byte);
  return *this;
}

void ByteReader::Need(qsizetype size) const {
  if (size < 0 || size > remaining()) {
    throw RangeError("read of " + std::to_string(size) + " bytes at offset " +
                     std::to_string(pos_) + " past the end of " + std::to_string(bytes_.size()) +
                     " bytes");
  }
}

std::uint64_t ByteReader::GetLE(int n) {
  Need(n);
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) {
    v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
  }
  pos_ += n;
  return v;
}

std::uint8_t ByteReader::U8() { return static_cast<std::uint8_t>(GetLE(1)); }
std::uint16_t ByteReader::U16() { return static_cast<std::uint16_t>(GetLE(2)); }
std::uint32_t ByteReader::U24() { return static_cast<std::uint32_t>(GetLE(3)); }
std::int32_t ByteReader::I32() {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLE(4)));
}
std::uint32_t ByteReader::U32() { return static_cast<std::uint32_t>(GetLE(4)); }

QByteArray ByteReader::Raw(qsizetype size) {
  Need(size);
  QByteArray out = bytes_.mid(pos_, size);
  pos_ += size;
  return out;
}

void ByteReader::Skip(qsizetype size) {
  Need(size);
  pos_ += size;
}

}  // namespace vm
