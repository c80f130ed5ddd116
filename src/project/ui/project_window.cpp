#include "project/ui/project_window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <exception>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "machine/ui/event_abort_probe.h"
#include "project/ciecie.h"
#include "project/prepare_mode.h"
#include "project/replay.h"
#include "project/simulation_command.h"
#include "project/ui/info_form.h"
#include "project/ui/replay_input_guard.h"
#include "project/view_settings.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm::ui {

namespace {

QColor ToQColor(TColour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The replay's canvas: the window's back buffer, shown as it is drawn.
class BufferCanvas : public TReplayCanvas {
 public:
  BufferCanvas(QImage& buffer, QWidget& widget) : buffer_(buffer), widget_(widget) {}

  void SetPen(TColour colour, TPenMode mode) override {
    colour_ = ToQColor(colour);
    mode_ = mode;
  }

  void Dot(QPoint p) override {
    QPainter painter(&buffer_);
    painter.setCompositionMode(mode_ == TPenMode::Merge ? QPainter::RasterOp_SourceOrDestination
                                                        : QPainter::CompositionMode_SourceOver);
    painter.setPen(QPen(colour_, 1));
    // A circle of radius 1 pixel: the centre and its four neighbours.
    const QPoint dots[] = {p, p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1),
                           p - QPoint(0, 1)};
    painter.drawPoints(dots, 5);
    widget_.update(QRect(p - QPoint(1, 1), QSize(3, 3)));
  }

  void Wait(std::int32_t ms) override {
    if (ms > 0) Delay(ms);
  }

  void RecalibrateWait() override { RecalibrateDelay(); }

 private:
  QImage& buffer_;
  QWidget& widget_;
  QColor colour_ = Qt::red;
  TPenMode mode_ = TPenMode::Copy;
};

// An error of the drawing or the replay (a tree or a value out of range): a
// translated message keeps its own text, any other follows the window's text.
void ShowDrawingError(const Error& e) {
  if (const auto* m = dynamic_cast<const MessageError*>(&e)) {
    ShowMessageError(*m);
    return;
  }
  ShowMessageBox(Tr("Project_window", "bladRysowania") + QString::fromStdString(e.what()), true);
}

TShiftState ShiftOf(Qt::KeyboardModifiers m) {
  TShiftState s;
  s.Shift = m.testFlag(Qt::ShiftModifier);
  s.Ctrl = m.testFlag(Qt::ControlModifier);
  s.Alt = m.testFlag(Qt::AltModifier);
  return s;
}

}  // namespace

ProjectWindow::ProjectWindow(QWidget* parent) : QWidget(parent), project_(new TMDIChild) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_OpaquePaintEvent);  // the back buffer covers the whole window
  setMinimumSize(200, 150);
  setMouseTracking(false);
  project_->TntFormCreate();
  if (project_->RightToLeft) setLayoutDirection(Qt::RightToLeft);
  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("StatusBar"));
  status_->setSizeGripEnabled(false);
}

ProjectWindow::~ProjectWindow() = default;

namespace {

// While a preparation runs, every progress report of the connector search
// repaints the window at once, so the operator sees the links grow.
class PreparationScope {
 public:
  explicit PreparationScope(ProjectWindow* window) {
    SetPlainCuttingProgress([window](TMDIChild& w) {
      if (&window->project() == &w) window->paintNow();
    });
  }
  ~PreparationScope() { SetPlainCuttingProgress({}); }
  PreparationScope(const PreparationScope&) = delete;
  PreparationScope& operator=(const PreparationScope&) = delete;
};

}  // namespace

bool ProjectWindow::reprepare() {
  bool ok = false;
  {
    PreparationScope scope(this);
    ok = PrepareForCurrentMode(*project_);
  }
  syncStatus();
  rendered_ = false;
  update();
  emit projectChanged();
  return ok && !project_->CloseRequested;
}

bool ProjectWindow::load(const QString& fileName) {
  bool ok = false;
  {
    PreparationScope scope(this);
    ok = project_->Load(fileName);
  }
  syncCaption();
  syncStatus();
  rendered_ = false;
  update();
  emit projectChanged();
  return ok && !project_->CloseRequested;
}

void ProjectWindow::syncCaption() { setWindowTitle(project_->Caption); }

void ProjectWindow::syncStatus() {
  if (status_->currentMessage() != project_->StatusBar.SimpleText)
    status_->showMessage(project_->StatusBar.SimpleText);
}

void ProjectWindow::render() {
  const QSize size = this->size();
  if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
  const std::vector<TStroke> strokes = view_.FormPaint(*project_, size.width(), size.height(),
                                                       status_->height(), ViewSettingsFromKonfig());
  rendered_ = true;
  syncStatus();
  if (buffer_.isNull()) return;  // no area yet
  buffer_.fill(ToQColor(kColourBackground));
  QPainter painter(&buffer_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const TStroke& s : strokes) {
    painter.setPen(QPen(ToQColor(s.Colour), 0));  // cosmetic: one pixel wide
    if (s.Pixels.size() == 1) {
      painter.drawPoint(s.Pixels.front());
    } else {
      painter.drawPolyline(s.Pixels.data(), static_cast<int>(s.Pixels.size()));
    }
  }
}

void ProjectWindow::paintNow() {
  try {
    render();
  } catch (const Error& e) {
    rendered_ = false;
    ShowDrawingError(e);
    return;
  }
  repaint();
  if (project_->Simulating) replay();
}

void ProjectWindow::replay() {
  if (buffer_.isNull()) return;
  std::exception_ptr failure;
  {
    EventAbortProbe probe;
    ReplayInputGuard guard;  // after the probe: sees the events first
    BufferCanvas canvas(buffer_, *this);
    replaying_ = true;
    try {
      TReplay(*project_, view_.Transform(), ViewSettingsFromKonfig(), canvas, probe).Run();
    } catch (const Error&) {
      failure = std::current_exception();
    }
    replaying_ = false;
  }
  // Shown once the probe is gone: under it the box would take no key or click.
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const Error& e) {
      ShowDrawingError(e);
    }
  }
}

void ProjectWindow::simulate() {
  if (replaying_) return;
  const TViewSettings s = ViewSettingsFromKonfig();
  SymulacjaClick(*project_, s.Mode, s.CatDir, [this] { paintNow(); });
  // The normal drawing replaces the replayed path.
  rendered_ = false;
  update();
}

void ProjectWindow::paintEvent(QPaintEvent*) {
  // During a replay the buffer holds the drawing and the path so far.
  if (!replaying_ && (!rendered_ || buffer_.size() != size())) {
    try {
      render();
    } catch (const Error&) {
      buffer_.fill(ToQColor(kColourBackground));
    }
  }
  QPainter p(this);
  p.drawImage(0, 0, buffer_);
  if (!replaying_) rendered_ = false;  // the next paint draws afresh
}

void ProjectWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int h = status_->sizeHint().height();
  status_->setGeometry(0, height() - h, width(), h);
  rendered_ = false;
  update();
}

void ProjectWindow::mousePressEvent(QMouseEvent* event) {
  TMouseButton button = TMouseButton::Middle;
  if (event->button() == Qt::LeftButton) button = TMouseButton::Left;
  if (event->button() == Qt::RightButton) button = TMouseButton::Right;
  const TProjectView::TAction action = view_.FormMouseDown(
      *project_, button, ShiftOf(event->modifiers()), event->position().toPoint());
  syncStatus();
  if (action == TProjectView::TAction::Repaint) {
    rendered_ = false;
    repaint();
  } else if (action == TProjectView::TAction::ShowInfo) {
    ShowInfoForm(*project_, this);
  }
}

void ProjectWindow::mouseMoveEvent(QMouseEvent* event) {
  if (view_.FormMouseMove(*project_, event->buttons().testFlag(Qt::LeftButton))) {
    rendered_ = false;
    repaint();
  }
}

void ProjectWindow::mouseReleaseEvent(QMouseEvent*) {
  view_.FormMouseUp(*project_);
  syncStatus();
}

void ProjectWindow::closeEvent(QCloseEvent* event) {
  // A window does not go away under its own replay.
  if (replaying_) {
    event->ignore();
    return;
  }
  TCloseAction action = TCloseAction::Free;
  project_->FormClose(action);
  if (action == TCloseAction::None) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace vm::ui
