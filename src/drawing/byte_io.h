// Little-endian byte writer and reader for the binary formats (machine
// commands, the job file, the global settings record).
//
// The writer refuses a value that does not fit its field (RangeError) instead
// of keeping its low bits; the reader checks every length before it reads and
// raises RangeError rather than reading past the end.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace vm {

class ByteWriter {
 public:
  ByteWriter() = default;
  explicit ByteWriter(QByteArray initial) : bytes_(std::move(initial)) {}

  ByteWriter& U8(std::int64_t v);   // 0..255
  ByteWriter& U16(std::int64_t v);  // 0..65535, low byte first
  ByteWriter& U24(std::int64_t v);  // 0..16777215, least significant first
  ByteWriter& I32(std::int64_t v);  // signed 32-bit, two's complement
  ByteWriter& U32(std::int64_t v);  // 0..4294967295
  ByteWriter& Raw(const QByteArray& b);
  ByteWriter& Raw(const char* data, qsizetype size);
  ByteWriter& Fill(qsizetype count, char byte = 0);

  const QByteArray& bytes() const { return bytes_; }
  QByteArray take() { return std::move(bytes_); }
  qsizetype size() const { return bytes_.size(); }

 private:
  void PutLE(std::uint64_t v, int n);
  QByteArray bytes_;
};

class ByteReader {
 public:
  // The reader keeps a reference-counted copy of the bytes.
  explicit ByteReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U24();
  std::int32_t I32();
  std::uint32_t U32();
  QByteArray Raw(qsizetype size);
  void Skip(qsizetype size);

  qsizetype pos() const { return pos_; }
  qsizetype remaining() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ >= bytes_.size(); }

 private:
  void Need(qsizetype size) const;
  std::uint64_t GetLE(int n);
  QByteArray bytes_;
  qsizetype pos_ = 0;
};

}  // namespace vm
