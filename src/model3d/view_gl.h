// The drawing surface of the 3D model viewer: the OpenGL 1.1 and GLU
// operations the viewer draws with, and the window binding around them
// (context, buffer swap, repaint request, bitmap font).
//
// The viewer's rules live in core and speak only to this interface; the
// viewer widget implements it with real GL calls, the tests with a recorder.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace vm {

enum class TGLMatrix : std::uint8_t { Projection, ModelView };
enum class TGLCap : std::uint8_t { DepthTest, Lighting, Light0, ColorMaterial, Normalize };
enum class TGLPrimitive : std::uint8_t { Triangles, Lines, LineStrip };
enum class TGLPolygonMode : std::uint8_t { Fill, Line, Point };
enum class TGLLightParam : std::uint8_t { Position, Ambient, Diffuse };
enum class TGLMaterialParam : std::uint8_t { AmbientAndDiffuse, Specular };

// What asking the window for its rendering context gave.
enum class TGLContextState : std::uint8_t {
  Ready,        // the context exists and is current
  Pending,      // the window has no context yet (not shown); it reports when it has one
  Unavailable,  // the window was shown but no context could be created
};

using TGLVec4 = std::array<float, 4>;

class TViewGL {
 public:
  virtual ~TViewGL() = default;

  // ---- window binding ----
  // Makes the window's rendering context current.
  virtual TGLContextState CreateContext() = 0;
  virtual void MakeCurrent() = 0;
  virtual void SwapBuffers() = 0;
  // Asks the window to paint itself soon; the paint runs TRAWview::Paint.
  virtual void RequestRender() = 0;
  // Reserves 255 display lists holding the bitmaps of the characters 0..254
  // of a monospace font 10 pixels high; returns the first list (0: none).
  virtual std::uint32_t CreateBitmapFont() = 0;

  // ---- state and matrices ----
  virtual void MatrixMode(TGLMatrix m) = 0;
  virtual void LoadIdentity() = 0;
  virtual void PushMatrix() = 0;
  virtual void Translate(double x, double y, double z) = 0;
  virtual void Rotate(double degrees, double x, double y, double z) = 0;
  virtual void Scale(double x, double y, double z) = 0;
  // Multiplies the current matrix by a perspective projection.
  virtual void Perspective(double fovy, double aspect, double zNear, double zFar) = 0;
  virtual void Viewport(int x, int y, int width, int height) = 0;
  virtual void ClearColor(float r, float g, float b, float a) = 0;
  // Clears the colour and the depth buffer.
  virtual void Clear() = 0;
  virtual void Enable(TGLCap cap) = 0;
  virtual void FrontFaceCCW() = 0;
  virtual void ShadeFlat() = 0;
  // For front and back faces.
  virtual void PolygonMode(TGLPolygonMode mode) = 0;

  // ---- light and material ----
  virtual void Light0(TGLLightParam param, const TGLVec4& value) = 0;
  virtual void LightModelTwoSide(bool on) = 0;
  // For front and back faces.
  virtual void Material(TGLMaterialParam param, const TGLVec4& value) = 0;
  virtual void Shininess(float value) = 0;
  virtual void Color(const TGLVec4& rgba) = 0;

  // ---- immediate-mode drawing ----
  virtual void Begin(TGLPrimitive primitive) = 0;
  virtual void End() = 0;
  virtual void Normal(double x, double y, double z) = 0;
  virtual void Vertex(double x, double y, double z) = 0;

  // ---- GLU quadrics, along the Z axis from z = 0 ----
  virtual void Cylinder(double baseRadius, double topRadius, double height, int slices,
                        int stacks) = 0;
  virtual void Disk(double innerRadius, double outerRadius, int slices, int loops) = 0;
  virtual void Sphere(double radius, int slices, int stacks) = 0;

  // ---- text ----
  virtual void RasterPos(double x, double y, double z) = 0;
  // Calls display list listBase + c for each 8-bit character c of the text,
  // keeping the list attributes as they were.
  virtual void CallLists(std::uint32_t listBase, const QByteArray& text) = 0;
};

}  // namespace vm
