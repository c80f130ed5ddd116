// The tool models of the 3D viewer: three cutter shapes built from GLU
// quadrics along the Z axis, with their dimension lines and labels, and the
// bitmap font the labels are drawn with.
#include "drawing/rounding.h"
#include "model3d/model_view.h"

namespace vm {

namespace {

// Collects the dimension lines of a tool in its final frame (plane y = 0),
// each with a tick of length 2 across both ends.
class TWymiary {
 public:
  explicit TWymiary(TViewGL& gl) : gl_(gl) { gl_.Begin(TGLPrimitive::Lines); }
  ~TWymiary() { gl_.End(); }

  // A dimension line along Z at x, from z1 to z2.
  void WzdluzZ(double x, double z1, double z2) {
    Linia(x, z1, x, z2);
    Linia(x - 1, z1, x + 1, z1);
    Linia(x - 1, z2, x + 1, z2);
  }
  // A dimension line along X at z, from x1 to x2.
  void WzdluzX(double z, double x1, double x2) {
    Linia(x1, z, x2, z);
    Linia(x1, z - 1, x1, z + 1);
    Linia(x2, z - 1, x2, z + 1);
  }

 private:
  void Linia(double x1, double z1, double x2, double z2) {
    gl_.Vertex(x1, 0.0, z1);
    gl_.Vertex(x2, 0.0, z2);
  }
  TViewGL& gl_;
};

}  // namespace

void TRAWview::UtworzCzcionkeGL() {
  if (czcionka_ == 0) czcionka_ = gl_->CreateBitmapFont();
}

void TRAWview::RysujTekst(const char* text) {
  if (czcionka_ != 0) gl_->CallLists(czcionka_, QByteArray(text));
}

void TRAWview::RysujOpisyWymiarow(double p1, double p2, double p3, double p4, double p5,
                                  double p6) {
  gl_->RasterPos(p1 + 15, 0.0, p3);
  RysujTekst("h ");
  gl_->RasterPos(p2 + 15, 0.0, -Round(p4 / 2) - 15);
  RysujTekst("hc ");
  gl_->RasterPos(-12.0, 0.0, p6 - 15);
  RysujTekst("d1");
  gl_->RasterPos(-12.0, 0.0, p5 - 15);
  RysujTekst("d3");
}

void TRAWview::RysujNarzedzie() {
  int model = 0, r = 0, l1 = 0, l2 = 0, t = 0;
  switch (narzedzie_) {
    case 0:
      model = 3, r = 50, l1 = 150, l2 = 150;
      break;
    case 1:
      model = 2, r = 50, l1 = 70, l2 = 180;
      break;
    case 2:
      model = 1, r = 50, l1 = 100, l2 = 150, t = 15;
      break;
    default:
      return;
  }
  const int rr = r + Round(r / 4.0);  // radius of the shank end

  switch (model) {
    case 1:
      gl_->Translate(0.0, 0.0, -(r + l1 + l2) / 2.0);
      gl_->Cylinder(t, r, r, r, r);
      gl_->Disk(0.0, t, 2 * t, 2 * t);
      gl_->Translate(0.0, 0.0, r);
      break;
    case 2:
      gl_->Translate(0.0, 0.0, -((r + l1 + l2) / 2.0 - r));
      gl_->Sphere(r, r, r);
      break;
    case 3:
      gl_->Translate(0.0, 0.0, -(l1 + l2) / 2.0);
      gl_->Disk(0.0, r, r, r);
      break;
  }
  gl_->Cylinder(r, r, l1, r, l1);
  gl_->Translate(0.0, 0.0, l1);
  gl_->Cylinder(r, rr, l2, rr, l2);
  gl_->Translate(0.0, 0.0, l2);
  gl_->Disk(0.0, rr, rr, l2);

  if (!UkladWsp) return;
  const double s = model == 3 ? l1 + l2 : l1 + l2 + r;
  {
    TWymiary d(*gl_);
    switch (model) {
      case 1:
        d.WzdluzZ(rr + 20, -(l1 + l2), -s);
        d.WzdluzZ(rr + 60, 0, -s);
        d.WzdluzX(-s - 20, -t, t);
        d.WzdluzX(-s - 40, -r, r);
        break;
      case 2:
        d.WzdluzZ(rr + 20, -l2, -s);
        d.WzdluzZ(rr + 60, 0, -s);
        d.WzdluzX(-s - 20, -r, r);
        break;
      case 3:
        d.WzdluzZ(rr + 20, -l2, -s);
        d.WzdluzZ(rr + 60, l1 - l2, -s);
        d.WzdluzX(-s - 20, -r, r);
        break;
    }
    d.WzdluzX(20, -rr, rr);
  }
  switch (model) {
    case 1:
      gl_->RasterPos(rr + 40, 0.0, -(l1 + l2) - Round(r / 2.0));
      RysujTekst("h ");
      gl_->RasterPos(rr + 80, 0.0, -Round(s / 2));
      RysujTekst("hc ");
      gl_->RasterPos(-12.0, 0.0, -s - 35);
      RysujTekst("d1");
      gl_->RasterPos(-12.0, 0.0, -s - 60);
      RysujTekst("d2");
      gl_->RasterPos(-12.0, 0.0, 25.0);
      RysujTekst("d3");
      break;
    case 2:
      RysujOpisyWymiarow(rr + 20, rr + 60, -l2 - Round((l1 + r) / 2.0), s, 40, -s - 20);
      break;
    case 3:
      RysujOpisyWymiarow(rr + 20, rr + 60, -l2 - Round(l1 / 2.0), s, 40, -s - 20);
      break;
  }
}

}  // namespace vm
