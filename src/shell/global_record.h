// The global settings record: last folders, filter indexes, the current
// settings file name and the serial-port index, kept in "Velmarosta.gcf" beside
// the program as one fixed 864-byte little-endian record.
//
// Layout (offset: field): 0 last open folder (80 UTF-16 units, zero-terminated),
// 160 last save folder (80 units), 320 Int32 reserved (1), 324 Int32 filter index
// of the last save (1), 328 Byte reserved (1), 329 4 reserved bytes (0), 333 one
// alignment byte, 334 current settings file name (255 units), 844 Int32 filter
// index of the main open dialog (1), 848 Double reserved (1.0), 856 Int32 port
// index (0..4), 860 four alignment bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace vm {

struct TGlobalSettingsRecord {
  static constexpr int kSize = 864;
  static constexpr int kFolderUnits = 80;     // room for 79 characters and the zero
  static constexpr int kFileNameUnits = 255;  // room for 254 characters and the zero
  static constexpr int kMaxFolderChars = kFolderUnits - 1;
  static constexpr int kMaxFileNameChars = kFileNameUnits - 1;

  QString LastOpenDir;
  QString LastSaveDir;
  std::int32_t Reserved320 = 1;
  std::int32_t SaveFilterIndex = 1;
  std::uint8_t Reserved328 = 1;
  std::array<std::uint8_t, 4> Reserved329 = {0, 0, 0, 0};
  QString SettingsFile = QStringLiteral("Velmarosta.tcf");
  std::int32_t OpenFilterIndex = 1;
  double Reserved848 = 1.0;
  std::int32_t PortIndex = 0;

  // The 864 bytes. Text fields are zero-filled and hold at most 79 (folders) or
  // 254 (file name) characters, so the last unit stays zero.
  QByteArray Encode() const;
  // Reads a record; nullopt when fewer than 864 bytes are given.
  static std::optional<TGlobalSettingsRecord> Decode(const QByteArray& bytes);

  // Sets the current settings file name; false (nothing changed) when the name
  // does not fit the record.
  bool SetSettingsFile(const QString& name);
  // Sets the last open folder; false (nothing changed) when it does not fit.
  bool SetLastOpenDir(const QString& dir);
};

// The one record in memory.
TGlobalSettingsRecord& GlobalSettings();
// Back to the defaults (no file touched).
void ResetGlobalSettings();

}  // namespace vm
