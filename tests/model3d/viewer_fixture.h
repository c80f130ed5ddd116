// A recording stand-in for the viewer's GL binding: every operation becomes
// one line of text ("Perspective 20 1.5 1 100"), so that a frame reads like
// the list of GL calls it makes.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "model3d/model_view.h"
#include "model3d/view_gl.h"

namespace vm::test {

class TRecordingGL : public TViewGL {
 public:
  TGLContextState state = TGLContextState::Ready;
  QStringList calls;
  int renders = 0;  // RequestRender calls
  int fonts = 0;    // CreateBitmapFont calls

  // The lines that begin with `prefix` ("Perspective", "Vertex", ...).
  QStringList With(const QString& prefix) const {
    QStringList out;
    for (const QString& c : calls)
      if (c == prefix || c.startsWith(prefix + ' ')) out << c;
    return out;
  }
  // The lines from the first that begins with `prefix` on (empty when none).
  QStringList From(const QString& prefix) const {
    for (qsizetype i = 0; i < calls.size(); ++i)
      if (calls[i] == prefix || calls[i].startsWith(prefix + ' ')) return calls.mid(i);
    return {};
  }

  TGLContextState CreateContext() override {
    Add("CreateContext", {});
    return state;
  }
  void MakeCurrent() override {}
  void SwapBuffers() override { Add("SwapBuffers", {}); }
  void RequestRender() override { ++renders; }
  std::uint32_t CreateBitmapFont() override {
    ++fonts;
    return 1000;
  }
  void MatrixMode(TGLMatrix m) override {
    calls << (m == TGLMatrix::Projection ? "MatrixMode Projection" : "MatrixMode ModelView");
  }
  void LoadIdentity() override { Add("LoadIdentity", {}); }
  void PushMatrix() override { Add("PushMatrix", {}); }
  void Translate(double x, double y, double z) override { Add("Translate", {x, y, z}); }
  void Rotate(double a, double x, double y, double z) override { Add("Rotate", {a, x, y, z}); }
  void Scale(double x, double y, double z) override { Add("Scale", {x, y, z}); }
  void Perspective(double f, double a, double n, double z) override {
    Add("Perspective", {f, a, n, z});
  }
  void Viewport(int x, int y, int w, int h) override {
    Add("Viewport", {0. + x, 0. + y, 0. + w, 0. + h});
  }
  void ClearColor(float r, float g, float b, float a) override { Add("ClearColor", {r, g, b, a}); }
  void Clear() override { Add("Clear", {}); }
  void Enable(TGLCap cap) override { Add("Enable", {double(cap)}); }
  void FrontFaceCCW() override { Add("FrontFaceCCW", {}); }
  void ShadeFlat() override { Add("ShadeFlat", {}); }
  void PolygonMode(TGLPolygonMode m) override {
    calls << QStringLiteral("PolygonMode ") + (m == TGLPolygonMode::Fill   ? "Fill"
                                               : m == TGLPolygonMode::Line ? "Line"
                                                                           : "Point");
  }
  void Light0(TGLLightParam p, const TGLVec4& v) override {
    Add("Light0", {double(p), v[0], v[1], v[2], v[3]});
  }
  void LightModelTwoSide(bool on) override { Add("LightModelTwoSide", {double(on)}); }
  void Material(TGLMaterialParam p, const TGLVec4& v) override {
    Add("Material", {double(p), v[0], v[1], v[2], v[3]});
  }
  void Shininess(float v) override { Add("Shininess", {v}); }
  void Color(const TGLVec4& v) override { Add("Color", {v[0], v[1], v[2], v[3]}); }
  void Begin(TGLPrimitive p) override {
    calls << QStringLiteral("Begin ") + (p == TGLPrimitive::Triangles ? "Triangles"
                                         : p == TGLPrimitive::Lines   ? "Lines"
                                                                      : "LineStrip");
  }
  void End() override { Add("End", {}); }
  void Normal(double x, double y, double z) override { Add("Normal", {x, y, z}); }
  void Vertex(double x, double y, double z) override { Add("Vertex", {x, y, z}); }
  void Cylinder(double b, double t, double h, int s, int st) override {
    Add("Cylinder", {b, t, h, 0. + s, 0. + st});
  }
  void Disk(double i, double o, int s, int l) override { Add("Disk", {i, o, 0. + s, 0. + l}); }
  void Sphere(double r, int s, int st) override { Add("Sphere", {r, 0. + s, 0. + st}); }
  void RasterPos(double x, double y, double z) override { Add("RasterPos", {x, y, z}); }
  void CallLists(std::uint32_t base, const QByteArray& text) override {
    calls << QStringLiteral("CallLists %1 \"%2\"").arg(base).arg(QString::fromLatin1(text));
  }

 private:
  void Add(const char* name, std::initializer_list<double> args) {
    QString s = QString::fromLatin1(name);
    for (double a : args) s += ' ' + QString::number(a, 'g', 10);
    calls << s;
  }
};

// A view bound to a recorder, with a client area of 300 x 200 pixels.
struct ViewerFixture {
  ViewerFixture() {
    view.Bind(&gl);
    view.ClientWidth = 300;
    view.ClientHeight = 200;
  }
  TRecordingGL gl;
  TRAWview view;
};

}  // namespace vm::test
