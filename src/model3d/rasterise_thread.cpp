// Turning the model and rasterising it into the silhouette grid.
#include "model3d/rasterise_thread.h"

#include <cmath>
#include <numbers>

#include "drawing/definicje.h"
#include "model3d/parallel_raster.h"
#include "model3d/silhouette_grid.h"
#include "model3d/silhouette_math.h"
#include "shell/interfejs.h"

namespace vm {

TRawDoPix::TRawDoPix(QObject* parent) : TRawDoPix(RasterThreadCount, parent) {}

TRawDoPix::TRawDoPix(std::int32_t threads, QObject* parent)
    : TWorkerThread(parent), threads_(RasterThreads(threads)) {}

namespace {

silhouette::TTurn CurrentTurn() {
  const double a = ModelAngle * std::numbers::pi / 180.0;
  return {std::cos(a), std::sin(a), ModelCentreX, ModelCentreY, ModelCentreZ};
}

}  // namespace

void TRawDoPix::Execute() {
  listBuilt_ = false;
  completed_ = false;
  error_.reset();
  if (ClosingRequested() || Terminated()) return;
  try {
    AlokujSiatke();
    if (ClosingRequested()) return;
    // The triangles are turned as they are rasterised, on every thread, in
    // place of a turned copy of the whole model.
    const bool done = RasteryzujRownolegle(ModelTriangles, CurrentTurn(), threads_,
                                           [this] { return Terminated() || ClosingRequested(); });
    completed_ = done && !ClosingRequested();
  } catch (const MessageError& e) {
    error_ = e;
  } catch (const std::exception& e) {
    error_ = MessageError("SerialCutFrom3D", "bladRasteryzacji", QString::fromStdString(e.what()));
  }
  Terminate();
}

bool TRawDoPix::RasteryzujJednowatkowo() {
  listBuilt_ = false;
  AlokujSiatke();
  WypelnijSiatke();
  ObrocModel();
  bool stopped = false;
  for (TRawTrojkat& t : RotatedTriangles) {
    if (Terminated() || ClosingRequested()) {
      stopped = true;
      break;
    }
    RasteryzujTrojkat(t);
  }
  OznaczWnetrze();
  ZwolnijObrocony();
  return !stopped && !ClosingRequested();
}

void TRawDoPix::ObrocModel() {
  RotatedTriangles.clear();
  RotatedTriangles.reserve(ModelTriangles.size());
  const silhouette::TTurn turn = CurrentTurn();
  for (const TRawTrojkat& t : ModelTriangles) {
    TRawTrojkat r = t;
    silhouette::TurnTriangle(turn, r);
    RotatedTriangles.push_back(r);
  }
  listBuilt_ = true;
}

void TRawDoPix::OznaczWnetrze() {
  tpix2d& g = SilhouetteGrid;
  const std::int32_t cols = std::int32_t(g.size()) - 1;
  const std::int32_t rows = g.empty() ? -1 : std::int32_t(g[0].size()) - 1;
  // Cells already made interior still count as marked (> 1), so marking in
  // place gives the same result in any scan order.
  for (std::int32_t i = 1; i < cols; ++i) {
    for (std::int32_t j = 1; j < rows; ++j) {
      if (g[i][j] > 1 && g[i - 1][j] > 1 && g[i - 1][j + 1] > 1 && g[i][j + 1] > 1 &&
          g[i + 1][j + 1] > 1 && g[i + 1][j] > 1 && g[i + 1][j - 1] > 1 && g[i][j - 1] > 1 &&
          g[i - 1][j - 1] > 1) {
        g[i][j] = CellInterior;
      }
    }
  }
  OtworzPodstawe();
}

void TRawDoPix::ZwolnijObrocony() {
  RotatedTriangles.clear();
  RotatedTriangles.shrink_to_fit();
}

QString TRawDoPix::ErrorText() const {
  if (!error_) return {};
  return Tr(error_->section(), error_->key()) + error_->detail();
}

}  // namespace vm
