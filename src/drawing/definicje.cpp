// The single instances of the program-wide records and globals.
#include "drawing/definicje.h"

#include "drawing/figury.h"
#include "drawing/units.h"

namespace vm {

tplotstate PlotState;
TModel ModelExtents;
tpix2d SilhouetteGrid;
TWorkingAreaLimits WorkingAreaLimits;

QByteArray BuildDate;
QByteArray DealerId;
QString ExeDir;
std::atomic<bool> AppClosing{false};

double RotaryEntryX = 0, RotaryEntryY = 0;
double RotaryStartX = 0, RotaryStartY = 0;
bool RotaryOnTable = false;
bool SaveZRequested = false;
std::int32_t SavedZ = 0;
std::int32_t SerialPassesLeft = 0;
double SerialPassStep = 0;
bool SerialCutActive = false;

std::vector<TRawTrojkat> ModelTriangles;
std::vector<TRawTrojkat> RotatedTriangles;
float ModelSize[3] = {0, 0, 0};
double ModelCentreX = 0, ModelCentreY = 0, ModelCentreZ = 0;
double ModelAngle = 0;
std::vector<std::unique_ptr<tfigura>> TracedFigures;

void ResetDrawingGlobals() {
  CurrentUnit = 0;
  PlotState = tplotstate{};
  ModelExtents = TModel{};
  SilhouetteGrid.clear();
  WorkingAreaLimits = TWorkingAreaLimits{};
  BuildDate.clear();
  DealerId.clear();
  ExeDir.clear();
  AppClosing = false;
  RotaryEntryX = RotaryEntryY = 0;
  RotaryStartX = RotaryStartY = 0;
  RotaryOnTable = false;
  SaveZRequested = false;
  SavedZ = 0;
  SerialPassesLeft = 0;
  SerialPassStep = 0;
  SerialCutActive = false;
  ModelTriangles.clear();
  RotatedTriangles.clear();
  ModelSize[0] = ModelSize[1] = ModelSize[2] = 0;
  ModelCentreX = ModelCentreY = ModelCentreZ = 0;
  ModelAngle = 0;
  TracedFigures.clear();
}

}  // namespace vm
