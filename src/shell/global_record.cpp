// The global settings record and its 864-byte form.
#include "shell/global_record.h"

#include <bit>
#include <cstring>

#include "drawing/byte_io.h"

namespace vm {
namespace {

void PutText(ByteWriter& w, const QString& text, int units) {
  const int n = std::min<int>(static_cast<int>(text.size()), units - 1);
  for (int i = 0; i < n; ++i) w.U16(text[i].unicode());
  w.Fill(static_cast<qsizetype>(units - n) * 2);
}

// The last unit of a field is its terminator: a field filled to the end
// without a zero (a damaged or foreign file) gives its first units - 1
// characters, the same text the record is written back with.
QString GetText(ByteReader& r, int units) {
  QString s;
  bool ended = false;
  for (int i = 0; i < units; ++i) {
    const std::uint16_t u = r.U16();
    if (u == 0 || i == units - 1) ended = true;
    if (!ended) s.append(QChar(u));
  }
  return s;
}

}  // namespace

QByteArray TGlobalSettingsRecord::Encode() const {
  ByteWriter w;
  PutText(w, LastOpenDir, kFolderUnits);
  PutText(w, LastSaveDir, kFolderUnits);
  w.I32(Reserved320);
  w.I32(SaveFilterIndex);
  w.U8(Reserved328);
  for (std::uint8_t b : Reserved329) w.U8(b);
  w.Fill(1);
  PutText(w, SettingsFile, kFileNameUnits);
  w.I32(OpenFilterIndex);
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(Reserved848);
  w.U32(static_cast<std::int64_t>(bits & 0xFFFFFFFFu));
  w.U32(static_cast<std::int64_t>(bits >> 32));
  w.I32(PortIndex);
  w.Fill(4);
  return w.take();
}

std::optional<TGlobalSettingsRecord> TGlobalSettingsRecord::Decode(const QByteArray& bytes) {
  if (bytes.size() < kSize) return std::nullopt;
  ByteReader r(bytes.left(kSize));
  TGlobalSettingsRecord g;
  g.LastOpenDir = GetText(r, kFolderUnits);
  g.LastSaveDir = GetText(r, kFolderUnits);
  g.Reserved320 = r.I32();
  g.SaveFilterIndex = r.I32();
  g.Reserved328 = r.U8();
  for (std::uint8_t& b : g.Reserved329) b = r.U8();
  r.Skip(1);
  g.SettingsFile = GetText(r, kFileNameUnits);
  g.OpenFilterIndex = r.I32();
  const std::uint64_t lo = r.U32();
  const std::uint64_t hi = r.U32();
  g.Reserved848 = std::bit_cast<double>(lo | (hi << 32));
  g.PortIndex = r.I32();
  return g;
}

bool TGlobalSettingsRecord::SetSettingsFile(const QString& name) {
  if (name.size() > kMaxFileNameChars) return false;
  SettingsFile = name;
  return true;
}

bool TGlobalSettingsRecord::SetLastOpenDir(const QString& dir) {
  if (dir.size() > kMaxFolderChars) return false;
  LastOpenDir = dir;
  return true;
}

TGlobalSettingsRecord& GlobalSettings() {
  static TGlobalSettingsRecord record;
  return record;
}

void ResetGlobalSettings() { GlobalSettings() = TGlobalSettingsRecord(); }

}  // namespace vm
