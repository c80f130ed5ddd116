// Program-wide records and globals shared by the machine link, the cut
// sequencer, the settings, the serial-cut dialog and the 3D generator.
//
// There is exactly one instance of each; ResetDrawingGlobals() puts every one of
// them (and the current length unit) back to its start-up value.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vm {

class tfigura;

// State of the machine as the controller last reported it.
struct tplotstate {
  std::uint16_t Status = 0;  // status byte of the last "X" reply (high byte 0)
  std::int32_t X = 0;        // wire position X, 1/100 mm
  std::int32_t Y = 0;        // wire position Y, 1/100 mm
  std::int32_t Z = 0;        // rotary axis, steps modulo the steps per revolution
  std::uint8_t SpeedSlot = 0;
  std::uint8_t PowerChannel = 0;
  std::uint16_t Speed = 0;  // copy of Speeds[SpeedSlot]
  std::uint16_t Speeds[4] = {0, 0, 0, 0};
  std::uint16_t ActualSpeed = 0;  // step period of the running motion
  std::uint16_t Power = 0;
  std::int32_t OValue = 0;
  QByteArray Producer = "Corvanta";
  QByteArray Model = "R584    ";  // eight characters; the first two select the family
  QByteArray Version;
  std::int32_t RunningMinutes = 0;
  std::int32_t FileCount = 0;
};

// Extents of the loaded 3D model in mm, and its file name (full path).
struct TModel {
  double MinX = 0, MinY = 0, MinZ = 0;
  double MaxX = 0, MaxY = 0, MaxZ = 0;
  QString FileName;
};

// A triangle of a 3D model: three vertices X, Y, Z in file order, mm.
struct TRawTrojkat {
  float X1 = 0, Y1 = 0, Z1 = 0;
  float X2 = 0, Y2 = 0, Z2 = 0;
  float X3 = 0, Y3 = 0, Z3 = 0;
};

// Silhouette grid: columns of byte cells (1 empty, 2 outline, 4 interior, bit 8 visited).
using tpix2dY = std::vector<std::uint8_t>;
using tpix2d = std::vector<tpix2dY>;

// Travel limits of the machine; replaced from the machine's identity replies.
struct TWorkingAreaLimits {
  std::int32_t X = 4800;  // mm
  std::int32_t Y = 2400;  // mm
  std::int32_t Z = 360;
};

// Names of the files kept beside the program.
inline constexpr const char* SettingsFileName = "Velmarosta.tcf";
inline constexpr const char* SnapshotFileName = "work.mc";
inline constexpr const char* GlobalFileName = "Velmarosta.gcf";
inline constexpr const char* ExeFileName = "Velmarosta.exe";

extern tplotstate PlotState;
extern TModel ModelExtents;
extern tpix2d SilhouetteGrid;
extern TWorkingAreaLimits WorkingAreaLimits;

extern QByteArray BuildDate;
extern QByteArray DealerId;
extern QString ExeDir;  // folder of the program, with a trailing separator
// Set by the GUI thread when the program closes; read by the 3D workers.
extern std::atomic<bool> AppClosing;

extern double RotaryEntryX, RotaryEntryY;  // mm
extern double RotaryStartX, RotaryStartY;  // mm
extern bool RotaryOnTable;
extern bool SaveZRequested;
extern std::int32_t SavedZ;  // rotary steps
extern std::int32_t SerialPassesLeft;
extern double SerialPassStep;  // mm
extern bool SerialCutActive;

extern std::vector<TRawTrojkat> ModelTriangles;
extern std::vector<TRawTrojkat> RotatedTriangles;
extern float ModelSize[3];  // X, Y, Z
extern double ModelCentreX, ModelCentreY, ModelCentreZ;
extern double ModelAngle;  // degrees
extern std::vector<std::unique_ptr<tfigura>> TracedFigures;

// Puts every global of this file and CurrentUnit back to its start-up value.
void ResetDrawingGlobals();

}  // namespace vm
