// The simulation: the cutting path replayed slowly on the project window, one
// step per pixel of distance, so the operator sees the order, the direction
// and the corner pauses before cutting. The replay draws through a small
// canvas interface and asks an abort probe after every step; it reads the
// project and never changes it, except for the SimulationAborted flag it sets
// when the operator stops it.
#pragma once

#include <QPoint>
#include <cstdint>
#include <vector>

#include "machine/abort_probe.h"
#include "project/figure_colours.h"
#include "project/view_settings.h"
#include "project/view_transform.h"

namespace vm {

class TMDIChild;

enum class TPenMode : std::uint8_t {
  Copy,   // the pen colour replaces the pixel
  Merge,  // the pen colour is ORed into the pixel
};

// Where the replay draws. The pen position is the replay's own: travel draws
// nothing.
class TReplayCanvas {
 public:
  virtual ~TReplayCanvas() = default;
  virtual void SetPen(TColour colour, TPenMode mode) = 0;
  // A circle of radius 1 pixel about p (bounding box p - 1 .. p + 1) in the pen.
  virtual void Dot(QPoint p) = 0;
  // A calibrated busy wait of ms milliseconds.
  virtual void Wait(std::int32_t ms) = 0;
  // Makes the next wait measure its loop again (every replay starts so, for
  // waits that follow the machine's current speed).
  virtual void RecalibrateWait() {}
};

// The step points of an animated move from `from` to `to`: n = [length]
// steps (none when n < 1), step i (1..n) at
// from + (2 i d + (n + 1) sign(d)) div (2 n) per axis, div truncating toward
// zero. A step never lies beyond `to` (a one-pixel move would overshoot).
std::vector<QPoint> AnimationSteps(QPoint from, QPoint to);

// A vertex whose turn angle exceeds pi/5 in absolute value gets a corner pause.
inline constexpr double kSharpAngle = 0.6283185307;

class TReplay {
 public:
  TReplay(TMDIChild& w, const TViewTransform& t, const TViewSettings& s, TReplayCanvas& canvas,
          AbortProbe& probe);

  // The replay of the work mode: plain cutting in modes 2 and 3 and in turning
  // with neither spindle nor table, the turning replay on a spindle or table,
  // the rotary-cutting replay in mode 1; nothing in other modes.
  void Run();
  // The path of the plain-cutting tree (the saver's path), with a pause at the
  // start of every figure and at sharp vertices. In serial cutting it follows
  // the serial pass (no return along open figures).
  void PlainCutting();
  // Every figure in list order (turning: those with Cut set and an order
  // number; rotary cutting: those with Cut set), travel to its first point in
  // the direction of CatDir, then cut point by point; travel back at the end.
  void Turning(bool rotary);

  // The pen position, pixels.
  QPoint PenPos() const { return pen_; }

 private:
  bool Travel(QPoint target);  // false when the operator stopped the replay
  bool Cut(QPoint target);
  bool Step();  // asks the probe after a step
  void Pause();
  bool Sharp(std::int32_t figure, std::int32_t vertex) const;

  TMDIChild& w_;
  const TViewTransform& t_;
  TViewSettings s_;
  TReplayCanvas& canvas_;
  AbortProbe& probe_;
  QPoint pen_;
};

}  // namespace vm
