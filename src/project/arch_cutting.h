// The arch-cutting generator: a straight board with one V-notch per inner
// vertex of an open curve, each notch opening by the curve's turn there, so
// that the notched board closes its notches when bent along the curve.
// TfZaginacz holds the dialog's depth edit, state and handlers.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "drawing/points.h"
#include "project/generated_project.h"
#include "project/okno_plt.h"
#include "shell/float_edit.h"

namespace vm {

// The curve with every point that repeats its predecessor dropped.
std::vector<TPointI> CurveWithoutRepeats(const std::vector<TPointI>& curve);

// The board outline for `curve` and notch depth D (plotter units): top edge at
// Y = D, notch bottoms at Y = 0, X along the unrolled curve from 0. Repeated
// points are skipped. Sets `overlap` when a notch's left edge lies left of the
// previous notch's right edge, the first notch opens before the board's
// beginning or the last one closes past its end. Raises RangeError when a
// length or notch width leaves 32 bits (a turn of half a revolution has no
// finite notch). Needs at least three distinct points.
std::vector<TPointI> NotchOutline(const std::vector<TPointI>& curve, std::int32_t depth,
                                  bool& overlap);

class TfZaginacz {
 public:
  TfZaginacz();
  TfZaginacz(const TfZaginacz&) = delete;
  TfZaginacz& operator=(const TfZaginacz&) = delete;

  // Notch depth, mm.
  TFloatEditU feuGlebokoscNaciec{QStringLiteral("feuGlebokoscNaciec")};
  QString lGlebokoscNaciecJm;  // "[" unit "]"

  TMDIChild* Source = nullptr;
  TMDIChild* NewWindow = nullptr;  // made by the last Generate of this run
  bool ErrorFlag = false;          // neighbouring notches overlap

  TGeneratorWindows Windows;
  std::function<void()> Close;

  // Depth-edit settings for the current unit, unit label.
  void FormCreate();
  // A new modal run for `source`: no window of an earlier run is replaced.
  void BeginRun(TMDIChild* source);
  // Generate.
  void btnGenerujClick();

  // Whether the source can be bent: refusals of a several-figure or closed
  // project and of a curve turning the wrong way show their message.
  bool ValidateProject();
  // Fills `target` with the board and finishes it as a load does.
  bool BuildProject(TMDIChild& target);
  // Adds the board figure for the source curve to `target`.
  void GenerateNotches(TMDIChild& target);
};

}  // namespace vm
