// Drawing, picking and the coordinates display of a project window (see
// project_view.h).
#include "project/project_view.h"

#include "drawing/figury.h"
#include "drawing/matma.h"
#include "project/okno_plt.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm {

namespace {

TPointI AsPoint(QPoint p) { return TPointI{p.x(), p.y()}; }

QString Number(std::int64_t v) { return QString::number(v); }

}  // namespace

std::int32_t PickFigure(const TMDIChild& w, const TViewTransform& t, QPoint mouse) {
  if (!t.Valid) return -1;
  std::int32_t picked = -1;
  const TPointI m = AsPoint(mouse);
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const auto& pts = w.Figures[static_cast<std::size_t>(i)]->Points;
    if (pts.empty()) continue;
    QPoint a = t.ToPixel(pts.front());
    for (std::size_t k = 1; k < pts.size(); ++k) {
      const QPoint b = t.ToPixel(pts[k]);
      TPointI foot;
      double angle = 0;
      std::uint8_t where = 0;
      const double d =
          PointSegmentDistance(m, TSegment{a.x(), a.y(), b.x(), b.y()}, 0, foot, angle, where);
      if (d < kPickDistance) {
        picked = i;  // later figures win: keep testing
        break;
      }
      a = b;
    }
  }
  return picked;
}

QString PickStatusText(const TMDIChild& w, std::int32_t selected, TShiftState shift) {
  QString text = Tr("Project_window", "wybranaFiguraNr") + Number(selected);
  if (shift.Ctrl && shift.Shift && !shift.Alt) {
    const auto& pts = w.Figures.at(static_cast<std::size_t>(selected))->Points;
    if (!pts.empty()) {
      const TPointI p0 = pts.front(), pn = pts.back();
      text += QStringLiteral("     p0:(") + Number(p0.X) + QStringLiteral(" ; ") + Number(p0.Y) +
              QStringLiteral(") ") + QStringLiteral("  p") + Number(std::int64_t(pts.size()) - 1) +
              QStringLiteral(":(") + Number(pn.X) + QStringLiteral(" ; ") + Number(pn.Y) +
              QStringLiteral(")  [hpgl]");
    }
  }
  return text;
}

QString PointListText(const tfigura& f) {
  const QChar dp = LocaleDecimalPoint();
  QString text;
  for (std::size_t i = 0; i < f.Points.size(); ++i) {
    const TPointI p = f.Points[i];
    text += QStringLiteral("\r\np") + Number(static_cast<std::int64_t>(i)) + QStringLiteral(":(") +
            FormatFloat(PlotterUnitsToMm(p.X), TFloatFormat::ffFixed, 7, 2, dp) +
            QStringLiteral(" ; ") +
            FormatFloat(PlotterUnitsToMm(p.Y), TFloatFormat::ffFixed, 7, 2, dp) +
            QStringLiteral(") [mm]");
  }
  return text;
}

std::vector<TStroke> TProjectView::FormPaint(TMDIChild& w, std::int32_t right, std::int32_t bottom,
                                             std::int32_t statusBarHeight, const TViewSettings& s) {
  w.SimulationAborted = false;
  transform_ = ComputeViewTransform(w, right, bottom, statusBarHeight, s);
  std::vector<TStroke> strokes;
  if (!transform_.Valid) return strokes;
  strokes.reserve(w.Figures.size());
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const auto& pts = w.Figures[static_cast<std::size_t>(i)]->Points;
    if (pts.empty()) continue;
    TStroke stroke;
    stroke.Colour = RoleColour(FigureRole(w, i, s));
    // Through every point as stored; no closing segment is added (a closed
    // figure repeats its first point itself).
    stroke.Pixels.reserve(pts.size());
    for (const TPointI& p : pts) stroke.Pixels.push_back(transform_.ToPixel(p));
    strokes.push_back(std::move(stroke));
  }
  return strokes;
}

TProjectView::TAction TProjectView::FormMouseDown(TMDIChild& w, TMouseButton button,
                                                  TShiftState shift, QPoint mouse) {
  if (button == TMouseButton::Right) return TAction::ShowInfo;
  if (button != TMouseButton::Left) return TAction::None;
  w.SelectedFigure = -1;
  w.SelectedFigure = PickFigure(w, transform_, mouse);
  if (w.SelectedFigure < 0) {
    w.StatusBar.SimpleText.clear();
    return TAction::Repaint;
  }
  w.StatusBar.SimpleText = PickStatusText(w, w.SelectedFigure, shift);
  if (shift.Ctrl && shift.Shift && shift.Alt) {
    ShowMessageBox(PointListText(*w.Figures[static_cast<std::size_t>(w.SelectedFigure)]), false,
                   Tr("Project_window", "wybranaFiguraNr") + Number(w.SelectedFigure));
  }
  return TAction::Repaint;
}

bool TProjectView::FormMouseMove(const TMDIChild& w, bool leftHeld) const {
  return leftHeld && w.SelectedFigure >= 0;
}

void TProjectView::FormMouseUp(TMDIChild& w) const { w.StatusBar.SimpleText.clear(); }

}  // namespace vm
