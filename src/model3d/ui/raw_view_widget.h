// The 3D model viewer widget: a panel that binds the core TRAWview. On a
// display with OpenGL it holds a GL surface (TRAWviewSurface) that supplies
// the GL 1.1 and GLU calls, the bitmap font and the context; without one it
// paints only its background and the view reports the missing context once.
// The panel forwards the mouse; what is drawn and how the mouse turns the
// view is the core view's.
//
// The owner sets the view's properties through view() (working mode, steps,
// colours, Locked) and calls its operations (LadujListeRAW, PokazScene,
// Nawigacja, ResetujPrzeksztalcenia, ...). The client size is kept in the
// view by the widget itself.
#pragma once

#include <QMetaObject>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QWidget>

#include "model3d/model_view.h"
#include "model3d/view_gl.h"

struct GLUquadric;

namespace vm::ui {

// The pixel format the viewer asks for: legacy GL (compatibility profile),
// double buffer, RGB with 8 bits a channel and no alpha, 16-bit depth, no
// stencil.
QSurfaceFormat RawViewSurfaceFormat();

// Whether a GL context of that format can be had on this display (probed
// once). Without one a GL surface must not be shown: the window system
// layer of some platforms fails on it.
bool RawViewOpenGLAvailable();

// The GL surface of the viewer panel: draws the view through GL 1.1 and GLU.
// It takes no mouse input; the panel does.
class TRAWviewSurface : public QOpenGLWidget, private TViewGL {
 public:
  TRAWviewSurface(TRAWview& view, QWidget* parent);
  ~TRAWviewSurface() override;

  // The binding the view draws through.
  TViewGL* binding() { return this; }

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void paintGL() override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Frees the font lists and the quadric; the context must be current.
  void ReleaseGL();
  void ContextAboutToBeDestroyed();

  // ---- TViewGL ----
  TGLContextState CreateContext() override;
  void MakeCurrent() override;
  void SwapBuffers() override;
  void RequestRender() override;
  std::uint32_t CreateBitmapFont() override;
  void MatrixMode(TGLMatrix m) override;
  void LoadIdentity() override;
  void PushMatrix() override;
  void Translate(double x, double y, double z) override;
  void Rotate(double degrees, double x, double y, double z) override;
  void Scale(double x, double y, double z) override;
  void Perspective(double fovy, double aspect, double zNear, double zFar) override;
  void Viewport(int x, int y, int width, int height) override;
  void ClearColor(float r, float g, float b, float a) override;
  void Clear() override;
  void Enable(TGLCap cap) override;
  void FrontFaceCCW() override;
  void ShadeFlat() override;
  void PolygonMode(TGLPolygonMode mode) override;
  void Light0(TGLLightParam param, const TGLVec4& value) override;
  void LightModelTwoSide(bool on) override;
  void Material(TGLMaterialParam param, const TGLVec4& value) override;
  void Shininess(float value) override;
  void Color(const TGLVec4& rgba) override;
  void Begin(TGLPrimitive primitive) override;
  void End() override;
  void Normal(double x, double y, double z) override;
  void Vertex(double x, double y, double z) override;
  void Cylinder(double baseRadius, double topRadius, double height, int slices,
                int stacks) override;
  void Disk(double innerRadius, double outerRadius, int slices, int loops) override;
  void Sphere(double radius, int slices, int stacks) override;
  void RasterPos(double x, double y, double z) override;
  void CallLists(std::uint32_t listBase, const QByteArray& text) override;

  GLUquadric* Quadric();

  TRAWview& view_;
  GLUquadric* quadric_ = nullptr;
  std::uint32_t fontBase_ = 0;
  QMetaObject::Connection contextGone_;
};

class TRAWviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TRAWviewWidget(QWidget* parent = nullptr);
  ~TRAWviewWidget() override;

  TRAWview& view() { return view_; }
  const TRAWview& view() const { return view_; }
  // The GL surface; nullptr when the display has no OpenGL.
  TRAWviewSurface* surface() const { return surface_; }

 signals:
  void doubleClicked();  // any button
  void resized();        // after the view has its new client size and projection

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TRAWview view_;
  TRAWviewSurface* surface_ = nullptr;
};

}  // namespace vm::ui
