// Arch-cutting generator: checks of the curve, the notched board and the
// Generate command.
#include "project/arch_cutting.h"

#include <cmath>
#include <memory>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm {

std::vector<TPointI> CurveWithoutRepeats(const std::vector<TPointI>& curve) {
  std::vector<TPointI> out;
  out.reserve(curve.size());
  for (const TPointI& p : curve)
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  return out;
}

std::vector<TPointI> NotchOutline(const std::vector<TPointI>& drawn, std::int32_t depth,
                                  bool& overlap) {
  overlap = false;
  // A repeated point is a segment of no length: it has no turn of its own and
  // would put a spurious notch into the board.
  const std::vector<TPointI> curve = CurveWithoutRepeats(drawn);
  if (curve.size() < 3) throw RangeError("a bent board needs at least three curve points");
  std::vector<TPointI> out;
  out.reserve(3 * curve.size());
  out.push_back({0, depth});
  std::int32_t x = 0;
  std::int32_t previousRight = 0;
  double L2 = 0;
  for (std::size_t i = 0; i + 2 < curve.size(); ++i) {
    const TPointI P0 = curve[i], P1 = curve[i + 1], P2 = curve[i + 2];
    const double a = TurnAngle(P2, P1, P0);
    const double w = std::fabs(std::tan(a / 2) * depth);
    const double L1 = DistanceI(P0, P1);
    L2 = DistanceI(P1, P2);
    const std::int32_t half = Round(w);
    const std::int32_t xc = CheckedAdd(x, Round(L1));
    const std::int32_t left = CheckedSub(xc, half);
    const std::int32_t right = CheckedAdd(xc, half);
    // Touching notches are fine; overlapping ones cannot close when bent, and
    // a notch that opens before the board's beginning runs the outline
    // backwards.
    if (i > 0 ? left < previousRight : left < 0) overlap = true;
    out.push_back({left, depth});
    out.push_back({xc, 0});
    out.push_back({right, depth});
    previousRight = right;
    x = xc;
  }
  const std::int32_t end = CheckedAdd(x, Round(L2));
  // The last notch must close before the board's far end.
  if (previousRight > end) overlap = true;
  out.push_back({end, depth});
  return out;
}

TfZaginacz::TfZaginacz() { FormCreate(); }

void TfZaginacz::FormCreate() {
  const int unit = KnownUnit(CurrentUnit);
  feuGlebokoscNaciec.SetffFormat(TFloatFormat::ffFixed);
  feuGlebokoscNaciec.SetPrecision(8);
  static constexpr int kDecimals[] = {1, 2, 3};
  static constexpr double kIncrementMm[] = {100, 25.4, 30.48};
  feuGlebokoscNaciec.SetDigit(kDecimals[unit]);
  feuGlebokoscNaciec.SetIncrement(kIncrementMm[unit]);
  feuGlebokoscNaciec.SetMaxValue(9999);
  feuGlebokoscNaciec.UseCurrentUnit();
  lGlebokoscNaciecJm = UnitLabel(unit);
}

void TfZaginacz::BeginRun(TMDIChild* source) {
  Source = source;
  NewWindow = nullptr;
  ErrorFlag = false;
}

bool TfZaginacz::ValidateProject() {
  if (Source == nullptr || Source->Figures.empty()) return false;
  const std::vector<TPointI> pts = CurveWithoutRepeats(Source->Figures.front()->Points);
  if (!(feuGlebokoscNaciec.Value() > 0) || pts.size() <= 2) return false;

  // One open figure: judged from the figures themselves, so that a project
  // last prepared for turning or rotary cutting is judged the same way.
  const auto& f0 = *Source->Figures.front();
  const bool single = Source->FigureCount() == 1 && f0.typ != 1 && f0.Kind == 0;
  if (!single) {
    ShowMessageBox(Tr("Arch_cutting", "projWieloelementNiedozwolony") + "\r\n\r\n" +
                       Tr("Arch_cutting", "wymaganaKrzywa"),
                   true);
    return false;
  }
  const int direction = pts.front().X < pts.back().X ? 1 : -1;
  bool wrongWay = false;
  for (std::size_t i = 0; i + 2 < pts.size(); ++i) {
    const double a = TurnAngle(pts[i + 2], pts[i + 1], pts[i]);
    if ((direction == 1 && a > 0) || (direction == -1 && a < 0)) wrongWay = true;
  }
  if (wrongWay) {
    ShowMessageBox(Tr("Arch_cutting", "niedozwolonaWypuklosc") + "\r\n\r\n" +
                       Tr("Arch_cutting", "wymaganaKrzywa"),
                   true);
    return false;
  }
  return true;
}

void TfZaginacz::GenerateNotches(TMDIChild& target) {
  const std::int32_t D = MmToPlotterUnits(feuGlebokoscNaciec.Value());
  auto f = std::make_unique<tfigura>();
  f->Points = NotchOutline(Source->Figures.front()->Points, D, ErrorFlag);
  target.AddFigure(std::move(f));
}

bool TfZaginacz::BuildProject(TMDIChild& target) {
  target.Figures.clear();
  GenerateNotches(target);
  return FinishGeneratedProject(target);
}

void TfZaginacz::btnGenerujClick() {
  const auto focusDepth = [this] {
    if (feuGlebokoscNaciec.OnFocusRequest) feuGlebokoscNaciec.OnFocusRequest();
  };
  if (!ValidateProject()) {
    focusDepth();
    return;
  }
  // The board is built first: a curve whose board leaves the coordinate range
  // is refused before the window of an earlier attempt is given up.
  TMDIChild scratch;
  try {
    GenerateNotches(scratch);
    scratch.Ustaw_PPiPK();
    CheckedSub(scratch.MaxX, scratch.MinX);
    CheckedSub(scratch.MaxY, scratch.MinY);
  } catch (const Error&) {
    ShowMessageBox(Tr("Arch_cutting", "projektZaDuzy"), true);
    focusDepth();
    return;
  }

  if (NewWindow != nullptr && Windows.Free) Windows.Free(NewWindow);
  NewWindow = Windows.Create ? Windows.Create() : nullptr;
  if (NewWindow == nullptr) throw Error("no project window for the arch cutting");
  NewWindow->Caption = Source->Caption + " : " + Tr("Arch_cutting", "caption");
  NewWindow->FileType = Source->FileType;
  if (Windows.Maximise) Windows.Maximise(NewWindow);
  NewWindow->Figures = std::move(scratch.Figures);
  FinishGeneratedProject(*NewWindow);

  if (ErrorFlag) {
    NewWindow->Caption = "!!! " + Tr("Arch_cutting", "blednyPrzebieg") + " !!!  " + Source->Caption;
    if (Windows.PlaceLike) Windows.PlaceLike(NewWindow, Source);
  }
  if (Windows.Shown) Windows.Shown(NewWindow);
  if (NewWindow->CloseRequested && Windows.Free) {
    Windows.Free(NewWindow);
    NewWindow = nullptr;
  }
  if (ErrorFlag) {
    ShowMessageBox(Tr("Arch_cutting", "bledneParametryDlaKrzywej") + "\r\n\r\n" +
                       Tr("Arch_cutting", "zmienParametry") + " '" +
                       Tr("Arch_cutting", "lSzerMat.caption") + "' ",
                   true,
                   Tr("Arch_cutting", "caption") + " : " + Tr("Arch_cutting", "blednyPrzebieg"));
    focusDepth();
    return;
  }
  if (Close) Close();
}

}  // namespace vm
