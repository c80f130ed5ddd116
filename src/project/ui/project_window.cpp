#include "project/ui/project_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vm::ui {

ProjectWindow::ProjectWindow(QWidget* parent) : QWidget(parent), project_(new TMDIChild) {
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(200, 150);
  project_->TntFormCreate();
  if (project_->RightToLeft) setLayoutDirection(Qt::RightToLeft);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

ProjectWindow::~ProjectWindow() = default;

bool ProjectWindow::load(const QString& fileName) {
  const bool ok = project_->Load(fileName);
  syncCaption();
  update();
  emit projectChanged();
  return ok && !project_->CloseRequested;
}

void ProjectWindow::syncCaption() { setWindowTitle(project_->Caption); }

void ProjectWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const TMDIChild& prj = *project_;
  if (prj.Figures.empty()) return;
  // One scale for X and Y, the drawing's lower-left corner at the lower left
  // of the window, Y upwards.
  const double w = std::max<std::int32_t>(1, prj.MaxX - prj.MinX);
  const double h = std::max<std::int32_t>(1, prj.MaxY - prj.MinY);
  const double margin = 7;
  const double scale =
      std::min((width() - 2 * margin) / w, (height() - 2 * margin) / h);
  if (!(scale > 0)) return;
  auto toScreen = [&](const TPointI& pt) {
    return QPointF(margin + (pt.X - prj.MinX) * scale, height() - margin - (pt.Y - prj.MinY) * scale);
  };
  p.setRenderHint(QPainter::Antialiasing, false);
  for (std::size_t i = 0; i < prj.Figures.size(); ++i) {
    const tfigura& f = *prj.Figures[i];
    if (f.Points.empty()) continue;
    p.setPen(QPen(static_cast<int>(i) == prj.SelectedFigure ? Qt::red : Qt::black));
    QPainterPath path(toScreen(f.Points.front()));
    for (std::size_t k = 1; k < f.Points.size(); ++k) path.lineTo(toScreen(f.Points[k]));
    p.drawPath(path);
  }
}

void ProjectWindow::closeEvent(QCloseEvent* event) {
  TCloseAction action = TCloseAction::Free;
  project_->FormClose(action);
  if (action == TCloseAction::None) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace vm::ui
