// Turning the model and rasterising it into the silhouette grid.
#include "model3d/rasterise_thread.h"

#include <cmath>
#include <numbers>

#include "drawing/definicje.h"
#include "model3d/silhouette_grid.h"
#include "shell/interfejs.h"

namespace vm {

TRawDoPix::TRawDoPix(QObject* parent) : TWorkerThread(parent) {}

void TRawDoPix::Execute() {
  listBuilt_ = false;
  completed_ = false;
  error_.reset();
  if (ClosingRequested() || Terminated()) return;
  try {
    AlokujSiatke();
    if (ClosingRequested()) return;
    WypelnijSiatke();
    if (!Terminated() && !ClosingRequested()) ObrocModel();
    if (!listBuilt_) return;
    bool stopped = false;
    for (TRawTrojkat& t : RotatedTriangles) {
      if (Terminated() || ClosingRequested()) {
        stopped = true;
        break;
      }
      RasteryzujTrojkat(t);
    }
    OznaczWnetrze();
    completed_ = !stopped && !ClosingRequested();
  } catch (const MessageError& e) {
    error_ = e;
  } catch (const std::exception& e) {
    error_ = MessageError("SerialCutFrom3D", "bladRasteryzacji", QString::fromStdString(e.what()));
  }
  ZwolnijObrocony();
  Terminate();
}

void TRawDoPix::ObrocModel() {
  RotatedTriangles.clear();
  RotatedTriangles.reserve(ModelTriangles.size());
  const double a = ModelAngle * std::numbers::pi / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  auto turn = [&](float& x, float& y, float& z) {
    const double dx = x - ModelCentreX, dy = y - ModelCentreY, dz = z - ModelCentreZ;
    x = static_cast<float>(c * dx - s * dz);
    y = static_cast<float>(dy);
    z = static_cast<float>(s * dx + c * dz);
  };
  for (const TRawTrojkat& t : ModelTriangles) {
    TRawTrojkat r = t;
    turn(r.X1, r.Y1, r.Z1);
    turn(r.X2, r.Y2, r.Z2);
    turn(r.X3, r.Y3, r.Z3);
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
  if (rows < 0) return;
  std::int32_t i0 = 0;
  while (i0 <= cols && g[i0][0] != CellOutline) ++i0;
  if (i0 > cols) return;
  for (std::int32_t i = i0 + 1; i < cols; ++i) {
    if (g[i][0] == CellOutline && g[i + 1][0] == CellOutline) {
      g[i][0] = CellInterior;
    } else {
      break;
    }
  }
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
