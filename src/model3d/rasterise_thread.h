// The rasterising worker of one serial-cut step: turns the model about its
// vertical axis by ModelAngle, projects every triangle onto the silhouette
// grid and classifies the cells as empty, outline or interior.
//
// Reads ModelTriangles, ModelCentreX/Y/Z, ModelAngle, GridCols, GridRows and
// AppClosing; writes SilhouetteGrid and RotatedTriangles (freed at the end).
// The step runs on several threads (RasterThreadCount); they check the
// termination and closing flags between triangles.
#pragma once

#include <QString>
#include <optional>

#include "drawing/errors.h"
#include "model3d/worker_thread.h"

namespace vm {

class TRawDoPix : public TWorkerThread {
  Q_OBJECT

 public:
  // `threads`: how many threads the step uses; 0 one per core.
  explicit TRawDoPix(QObject* parent = nullptr);
  TRawDoPix(std::int32_t threads, QObject* parent);
  ~TRawDoPix() override { StopAndWait(); }

  void Execute() override;

  // The same step on this thread alone, by the plain algorithm: the grid
  // allocated and cleared, the turned list built, every triangle marked by
  // RasteryzujTrojkat, the interior classified. False when stopped.
  bool RasteryzujJednowatkowo();

  // RotatedTriangles := ModelTriangles turned by ModelAngle degrees about the
  // vertical axis through the model centre, centred on the origin.
  void ObrocModel();
  // Cells whose eight neighbours are all marked become interior (4); along
  // row 0 the cells between the first and last of the first outline run
  // become interior, so the traced outline stays open along the base.
  void OznaczWnetrze();
  // Frees RotatedTriangles.
  void ZwolnijObrocony();

  // The grid holds the whole step: the body ran to its end without being
  // stopped or failing.
  bool Completed() const { return completed_; }
  // Why the grid could not be made (too large, a triangle too large to
  // sample); empty when nothing failed. Translated, for an error box.
  QString ErrorText() const;

 private:
  std::int32_t threads_ = 0;
  bool listBuilt_ = false;
  bool completed_ = false;
  std::optional<MessageError> error_;
};

}  // namespace vm
