// Reader of ".RAW" triangle models, run as a worker thread.
//
// A model file is 8-bit text: one triangle per line as nine numbers separated
// by single blanks (X, Y, Z of the first, second and third vertex) in the
// current length unit, "." as the decimal point. Lines containing "Object"
// and lines that are not nine such numbers are skipped. The reader converts
// the coordinates to mm and publishes the triangles (ModelTriangles), the
// extents (ModelExtents), the sizes (ModelSize) and the centre
// (ModelCentreX/Y/Z); the file it reads is ModelExtents.FileName. A model
// whose vertices are all one point is refused: it has no outline to cut.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <limits>
#include <string_view>
#include <vector>

#include "drawing/definicje.h"
#include "model3d/worker_thread.h"

namespace vm {

class TRAWodczytWatek : public TWorkerThread {
  Q_OBJECT

 public:
  // How the last Execute() ended.
  enum class TOutcome {
    NotRun,
    Read,       // triangles, extents, sizes and centre published
    Empty,      // no line was a triangle: an empty list and zero extents published
    Point,      // every vertex is one point: nothing published
    ReadError,  // the file could not be opened or read: nothing published
    Stopped,    // terminated or the program closing: nothing published
    TooLarge    // the model's sizes exceed a Single: nothing published
  };

  // `unit` is the length unit of the numbers in the file (0 mm, 1 inch,
  // 2 foot); by default the settings' current choice, taken here on the
  // creating thread so that the worker never reads the settings store.
  explicit TRAWodczytWatek(QObject* parent = nullptr);
  TRAWodczytWatek(int unit, QObject* parent);
  ~TRAWodczytWatek() override { StopAndWait(); }

  void Execute() override;

  // Reads the whole file; raises IoError when it cannot be opened or read, or
  // is not a regular file. Looks at the termination and closing flags every
  // few thousand lines and returns what it has read when either is set.
  std::vector<TRawTrojkat> CzytajPlik(const QString& fileName);
  // True when the line is a triangle: it has then been converted to mm and
  // added to the running extents. Otherwise `t` is left zeroed.
  bool ParsujLinie(std::string_view line, TRawTrojkat& t);
  // Widens the running extents by the three vertices of `t`.
  void AktualizujZakres(const TRawTrojkat& t);

  // Bytes the file is read in at a time; a block's lines are parsed on
  // several threads (pieces of at least a sixteenth of a block).
  static inline qint64 BlockBytes = 16 << 20;

  TOutcome Outcome() const { return outcome_; }
  // Bytes of the file read so far; may be asked from any thread.
  qint64 BytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
  // What to tell the operator about the read: empty after a successful read,
  // otherwise the translated reason with the file name.
  QString ErrorText() const;

  double MinX() const { return minX_; }
  double MinY() const { return minY_; }
  double MinZ() const { return minZ_; }
  double MaxX() const { return maxX_; }
  double MaxY() const { return maxY_; }
  double MaxZ() const { return maxZ_; }

 private:
  void ResetExtents();
  bool StopRequested() const;

  int unit_;
  QString fileName_;
  QString ioError_;
  TOutcome outcome_ = TOutcome::NotRun;
  std::atomic<qint64> bytesRead_{0};
  double minX_ = std::numeric_limits<double>::infinity();
  double minY_ = std::numeric_limits<double>::infinity();
  double minZ_ = std::numeric_limits<double>::infinity();
  double maxX_ = -std::numeric_limits<double>::infinity();
  double maxY_ = -std::numeric_limits<double>::infinity();
  double maxZ_ = -std::numeric_limits<double>::infinity();
};

}  // namespace vm
