// The 3D model viewer widget: the panel, and the GL surface that makes the
// GL 1.1 and GLU calls of the core view.
#include "model3d/ui/raw_view_widget.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

namespace vm::ui {

QSurfaceFormat RawViewSurfaceFormat() {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setProfile(QSurfaceFormat::CompatibilityProfile);
  f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  f.setRedBufferSize(8);
  f.setGreenBufferSize(8);
  f.setBlueBufferSize(8);
  f.setAlphaBufferSize(0);
  f.setDepthBufferSize(16);
  f.setStencilBufferSize(0);
  return f;
}

bool RawViewOpenGLAvailable() {
  static const bool available = [] {
    // The offscreen platform can make a context when an X display is around,
    // but it cannot show a GL widget: its window flush crashes.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
    QOpenGLContext ctx;
    ctx.setFormat(RawViewSurfaceFormat());
    if (!ctx.create()) return false;
    QOffscreenSurface surface;
    surface.setFormat(ctx.format());
    surface.create();
    const bool current = surface.isValid() && ctx.makeCurrent(&surface);
    if (current) ctx.doneCurrent();
    return current;
  }();
  return available;
}

TRAWviewSurface::TRAWviewSurface(TRAWview& view, QWidget* parent)
    : QOpenGLWidget(parent), view_(view) {
  setFormat(RawViewSurfaceFormat());
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

TRAWviewSurface::~TRAWviewSurface() {
  QObject::disconnect(contextGone_);
  if (isValid()) {
    makeCurrent();
    ReleaseGL();
    doneCurrent();
  }
}

void TRAWviewSurface::ReleaseGL() {
  if (fontBase_ != 0) glDeleteLists(fontBase_, 255);
  fontBase_ = 0;
  if (quadric_ != nullptr) gluDeleteQuadric(quadric_);
  quadric_ = nullptr;
}

// The context goes when the widget moves to another top-level window; a new
// one follows with initializeGL, and the view sets itself up on it again.
void TRAWviewSurface::ContextAboutToBeDestroyed() {
  makeCurrent();
  ReleaseGL();
  doneCurrent();
  view_.KontekstUtracony();
}

void TRAWviewSurface::initializeGL() {
  QObject::disconnect(contextGone_);
  contextGone_ = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                         &TRAWviewSurface::ContextAboutToBeDestroyed, Qt::DirectConnection);
  view_.KontekstDostepny();
}

void TRAWviewSurface::resizeGL(int, int) {
  if (view_.KontekstUtworzony()) view_.DostosujDoRozmiaruOkna();
}

void TRAWviewSurface::paintGL() { view_.Paint(); }

void TRAWviewSurface::showEvent(QShowEvent* event) {
  QOpenGLWidget::showEvent(event);
  // A set-up asked for before the widget was shown runs now, or reports that
  // no context could be had.
  if (view_.KontekstOczekuje()) view_.KontekstDostepny();
}

void TRAWviewSurface::resizeEvent(QResizeEvent* event) {
  QOpenGLWidget::resizeEvent(event);
  if (view_.KontekstOczekuje() && isVisible()) view_.KontekstDostepny();
}

// ---- window binding ----

TGLContextState TRAWviewSurface::CreateContext() {
  if (isValid()) {
    makeCurrent();
    return TGLContextState::Ready;
  }
  // Qt creates the context when the widget is first shown with an area.
  if (!isVisible() || size().isEmpty()) return TGLContextState::Pending;
  return TGLContextState::Unavailable;
}

void TRAWviewSurface::MakeCurrent() { makeCurrent(); }

// The frame is drawn into the widget's framebuffer and shown by Qt after the
// paint; there is nothing to swap here.
void TRAWviewSurface::SwapBuffers() {}

void TRAWviewSurface::RequestRender() { update(); }

// Bitmaps of the characters 0..254 (Latin-1) of a monospace font 10 pixels
// high, one display list each, drawn with the glyph's baseline at the raster
// position and advancing it by the glyph's width.
std::uint32_t TRAWviewSurface::CreateBitmapFont() {
  const GLuint base = glGenLists(255);
  if (base == 0) return 0;
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(10);
  font.setWeight(QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  const QFontMetrics fm(font);
  const int height = std::max(fm.height(), 1);

  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  for (int c = 0; c < 255; ++c) {
    const QChar ch = QChar::fromLatin1(static_cast<char>(c));
    const int advance = ch.isPrint() ? fm.horizontalAdvance(ch) : 0;
    const int width = std::max(advance, 1);
    QImage img(width, height, QImage::Format_Grayscale8);
    img.fill(0);
    if (ch.isPrint()) {
      QPainter p(&img);
      p.setFont(font);
      p.setPen(Qt::white);
      p.drawText(0, fm.ascent(), QString(ch));
    }
    // glBitmap rows run bottom to top, bits most significant first.
    const int stride = (width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
      const uchar* row = img.constScanLine(height - 1 - y);
      for (int x = 0; x < width; ++x)
        if (row[x] >= 128) bits[y * stride + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
    glNewList(base + c, GL_COMPILE);
    glBitmap(width, height, 0.0f, static_cast<GLfloat>(fm.descent()), advance, 0.0f, bits.data());
    glEndList();
  }
  glPopClientAttrib();
  if (fontBase_ != 0) glDeleteLists(fontBase_, 255);
  fontBase_ = base;
  return base;
}

// ---- GL 1.1 and GLU ----

void TRAWviewSurface::MatrixMode(TGLMatrix m) {
  glMatrixMode(m == TGLMatrix::Projection ? GL_PROJECTION : GL_MODELVIEW);
}
void TRAWviewSurface::LoadIdentity() { glLoadIdentity(); }
void TRAWviewSurface::PushMatrix() { glPushMatrix(); }
void TRAWviewSurface::Translate(double x, double y, double z) { glTranslated(x, y, z); }
void TRAWviewSurface::Rotate(double degrees, double x, double y, double z) {
  glRotated(degrees, x, y, z);
}
void TRAWviewSurface::Scale(double x, double y, double z) { glScaled(x, y, z); }
void TRAWviewSurface::Perspective(double fovy, double aspect, double zNear, double zFar) {
  gluPerspective(fovy, aspect, zNear, zFar);
}

// The view counts in the widget's pixels; the framebuffer may have more.
void TRAWviewSurface::Viewport(int x, int y, int width, int height) {
  const qreal dpr = devicePixelRatioF();
  glViewport(qRound(x * dpr), qRound(y * dpr), qRound(width * dpr), qRound(height * dpr));
}
void TRAWviewSurface::ClearColor(float r, float g, float b, float a) { glClearColor(r, g, b, a); }
void TRAWviewSurface::Clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void TRAWviewSurface::Enable(TGLCap cap) {
  switch (cap) {
    case TGLCap::DepthTest:
      glEnable(GL_DEPTH_TEST);
      break;
    case TGLCap::Lighting:
      glEnable(GL_LIGHTING);
      break;
    case TGLCap::Light0:
      glEnable(GL_LIGHT0);
      break;
    case TGLCap::ColorMaterial:
      glEnable(GL_COLOR_MATERIAL);
      break;
    case TGLCap::Normalize:
      glEnable(GL_NORMALIZE);
      break;
  }
}
void TRAWviewSurface::FrontFaceCCW() { glFrontFace(GL_CCW); }
void TRAWviewSurface::ShadeFlat() { glShadeModel(GL_FLAT); }
void TRAWviewSurface::PolygonMode(TGLPolygonMode mode) {
  const GLenum m = mode == TGLPolygonMode::Fill   ? GL_FILL
                   : mode == TGLPolygonMode::Line ? GL_LINE
                                                  : GL_POINT;
  glPolygonMode(GL_FRONT_AND_BACK, m);
}

void TRAWviewSurface::Light0(TGLLightParam param, const TGLVec4& value) {
  const GLenum p = param == TGLLightParam::Position  ? GL_POSITION
                   : param == TGLLightParam::Ambient ? GL_AMBIENT
                                                     : GL_DIFFUSE;
  glLightfv(GL_LIGHT0, p, value.data());
}
void TRAWviewSurface::LightModelTwoSide(bool on) {
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, on ? GL_TRUE : GL_FALSE);
}
void TRAWviewSurface::Material(TGLMaterialParam param, const TGLVec4& value) {
  glMaterialfv(GL_FRONT_AND_BACK,
               param == TGLMaterialParam::Specular ? GL_SPECULAR : GL_AMBIENT_AND_DIFFUSE,
               value.data());
}
void TRAWviewSurface::Shininess(float value) {
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, value);
}
void TRAWviewSurface::Color(const TGLVec4& rgba) { glColor4fv(rgba.data()); }

void TRAWviewSurface::Begin(TGLPrimitive primitive) {
  glBegin(primitive == TGLPrimitive::Triangles ? GL_TRIANGLES
          : primitive == TGLPrimitive::Lines   ? GL_LINES
                                               : GL_LINE_STRIP);
}
void TRAWviewSurface::End() { glEnd(); }
void TRAWviewSurface::Normal(double x, double y, double z) { glNormal3d(x, y, z); }
void TRAWviewSurface::Vertex(double x, double y, double z) { glVertex3d(x, y, z); }

GLUquadric* TRAWviewSurface::Quadric() {
  if (quadric_ == nullptr) quadric_ = gluNewQuadric();
  return quadric_;
}
void TRAWviewSurface::Cylinder(double baseRadius, double topRadius, double height, int slices,
                               int stacks) {
  if (GLUquadric* q = Quadric()) gluCylinder(q, baseRadius, topRadius, height, slices, stacks);
}
void TRAWviewSurface::Disk(double innerRadius, double outerRadius, int slices, int loops) {
  if (GLUquadric* q = Quadric()) gluDisk(q, innerRadius, outerRadius, slices, loops);
}
void TRAWviewSurface::Sphere(double radius, int slices, int stacks) {
  if (GLUquadric* q = Quadric()) gluSphere(q, radius, slices, stacks);
}

// The raster colour would otherwise be lit with whatever normal the last
// quadric left behind, which can make the labels black; they take the current
// colour instead.
void TRAWviewSurface::RasterPos(double x, double y, double z) {
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_LIGHTING);
  glRasterPos3d(x, y, z);
  glPopAttrib();
}
void TRAWviewSurface::CallLists(std::uint32_t listBase, const QByteArray& text) {
  glPushAttrib(GL_LIST_BIT);
  glListBase(listBase);
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.constData());
  glPopAttrib();
}

// ---- the panel ----

TRAWviewWidget::TRAWviewWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::ClickFocus);
  view_.ClientWidth = width();
  view_.ClientHeight = height();
  if (RawViewOpenGLAvailable()) {
    surface_ = new TRAWviewSurface(view_, this);
    surface_->setGeometry(rect());
    view_.Bind(surface_->binding());
  } else {
    view_.BindUnavailable();
  }
}

TRAWviewWidget::~TRAWviewWidget() {
  // The surface goes first, while the view it draws is still whole.
  delete surface_;
  surface_ = nullptr;
  view_.Bind(nullptr);
}

// Without a GL surface the panel shows its own colour.
void TRAWviewWidget::paintEvent(QPaintEvent* event) {
  if (surface_ != nullptr) return;
  const std::uint32_t c = view_.Color;
  QPainter p(this);
  p.fillRect(event->rect(), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

void TRAWviewWidget::resizeEvent(QResizeEvent* event) {
  view_.ClientWidth = event->size().width();
  view_.ClientHeight = event->size().height();
  QWidget::resizeEvent(event);
  if (surface_ != nullptr) surface_->setGeometry(rect());
  emit resized();
}

void TRAWviewWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (view_.ViewMouseDown(event->button(), event->modifiers(), p.x(), p.y()) && isEnabled() &&
      isVisible())
    setFocus(Qt::MouseFocusReason);
  event->accept();
}

void TRAWviewWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  view_.ViewMouseMove(event->modifiers(), p.x(), p.y());
  event->accept();
}

void TRAWviewWidget::mouseReleaseEvent(QMouseEvent* event) {
  view_.ViewMouseUp();
  event->accept();
}

void TRAWviewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  emit doubleClicked();
}

void TRAWviewWidget::wheelEvent(QWheelEvent* event) {
  if (view_.DoMouseWheel(event->angleDelta().y())) event->accept();
}

}  // namespace vm::ui
