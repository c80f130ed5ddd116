// The 3D model viewer: view state, set-up of the context, projection, light
// and material, the mouse and the frame of the triangle and polyline modes.
#include "model3d/model_view.h"

#include <algorithm>
#include <cmath>

#include "drawing/rounding.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm {

namespace {

// A colour byte as a GL intensity: byte / 256.
float Intensity(std::uint32_t colour, int shift) {
  return static_cast<float>((colour >> shift) & 0xFF) / 256.0f;
}

// A finite value, or 0.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

void TRAWview::PokazScene() {
  if (gl_ == nullptr) return;
  scenaZadana_ = true;
  tylkoTlo_ = false;
  gl_->RequestRender();
}

void TRAWview::OdlaczListy() {
  trojkaty_ = nullptr;
  figury_ = nullptr;
}

// A fresh context starts with identity matrices. The window keeps one context
// for its whole life, so every creation request starts the matrices afresh:
// otherwise each new projection would be multiplied onto the previous one.
bool TRAWview::UtworzKontekstGL() {
  const TGLContextState state = gl_ != nullptr ? gl_->CreateContext()
                                : bezGL_       ? TGLContextState::Unavailable
                                               : TGLContextState::Pending;
  if (gl_ == nullptr && !bezGL_) return false;
  switch (state) {
    case TGLContextState::Ready:
      kontekst_ = true;
      zalegly_ = false;
      gl_->MatrixMode(TGLMatrix::ModelView);
      gl_->LoadIdentity();
      gl_->MatrixMode(TGLMatrix::Projection);
      gl_->LoadIdentity();
      return true;
    case TGLContextState::Pending:
      zalegly_ = true;
      return false;
    case TGLContextState::Unavailable:
      break;
  }
  kontekst_ = false;
  zalegly_ = false;
  if (!brakZgloszony_) {
    brakZgloszony_ = true;
    ShowMessageBox(Tr("SerialCutFrom3D", "brakOpenGL"), true);
  }
  return false;
}

void TRAWview::UstawRzutowanie() {
  gl_->MatrixMode(TGLMatrix::Projection);
  // A window without area would give an infinite or zero aspect ratio.
  const double w = std::max(ClientWidth, 1);
  const double h = std::max(ClientHeight, 1);
  gl_->Perspective(20.0, w / h, 1.0, 100.0);
  gl_->Translate(0.0, 0.0, -12.0);
  UstawSwiatlo();
  UstawMaterialGL();
  gl_->ClearColor(Intensity(Color, 0), Intensity(Color, 8), Intensity(Color, 16), 1.0f);
}

void TRAWview::UstawSwiatlo() {
  gl_->MakeCurrent();
  gl_->Enable(TGLCap::Lighting);
  gl_->Light0(TGLLightParam::Position, {-8.0f, 8.0f, 16.0f, 0.0f});
  gl_->Light0(TGLLightParam::Ambient, {0.1f, 0.1f, 0.1f, 1.0f});
  gl_->Light0(TGLLightParam::Diffuse, {0.7f, 0.7f, 0.7f, 1.0f});
  gl_->LightModelTwoSide(true);
  gl_->Enable(TGLCap::Light0);
}

void TRAWview::UstawMaterialGL() {
  UstawKolorGL();
  const float m = static_cast<float>(Model_Material);
  gl_->Material(TGLMaterialParam::Specular, {m, m, m, 1.0f});
  gl_->Shininess(128.0f);
}

void TRAWview::UstawKolorGL() {
  const TGLVec4 c = {Intensity(Model_Kolor, 0), Intensity(Model_Kolor, 8),
                     Intensity(Model_Kolor, 16), 1.0f};
  gl_->Enable(TGLCap::ColorMaterial);
  gl_->Material(TGLMaterialParam::AmbientAndDiffuse, c);
  gl_->Color(c);
}

// A model whose X-Y extent is a single point (or an empty model, whose
// extents are not finite) is scaled as if it were 1 mm across, and is not
// shifted by a non-finite centre.
void TRAWview::UstawPoczatkowyWidok() {
  widok_.ObrotX = widok_.ObrotY = 0;
  widok_.PrzesunX = widok_.PrzesunY = 0;
  if (TrybPracy == TTrybPracy::tpPrzegladNarzedzi) {
    widok_.Skala = 0.01;
  } else {
    const double w = ClientWidth, h = ClientHeight;
    const double dx = maxX_ - minX_, dy = maxY_ - minY_;
    double diag = std::sqrt(dx * dx + dy * dy);
    if (!std::isfinite(diag) || diag <= 0) diag = 1.0;
    widok_.Skala = std::sqrt(std::sqrt(w * w + h * h)) / diag * 0.15;
  }
  if (TrybPracy == TTrybPracy::tpPrzegladRAWtermSeryjne) {
    widok_.SrodekX = Finite(-(minX_ + (maxX_ - minX_) / 2));
    widok_.SrodekY = Finite(-(minY_ + (maxY_ - minY_) / 2));
    widok_.SrodekZ = Finite(-(minZ_ + (maxZ_ - minZ_) / 2));
  } else {
    widok_.SrodekX = widok_.SrodekY = widok_.SrodekZ = 0;
  }
}

void TRAWview::LadujListeRAW(const std::vector<TRawTrojkat>* list, double minX, double minY,
                             double minZ, double maxX, double maxY, double maxZ) {
  trojkaty_ = list;
  minX_ = minX, minY_ = minY, minZ_ = minZ;
  maxX_ = maxX, maxY_ = maxY, maxZ_ = maxZ;
  ResetujPrzeksztalcenia();
}

void TRAWview::LadujListeFigur(const std::vector<TFigura3D>* list, double minX, double minY,
                               double maxX, double maxY) {
  figury_ = list;
  minX_ = minX, minY_ = minY, minZ_ = 0;
  maxX_ = maxX, maxY_ = maxY, maxZ_ = 0;
  ResetujPrzeksztalcenia();
}

void TRAWview::PokazNarzedzie(int tool) {
  narzedzie_ = tool;
  if (!kontekst_) {
    czcionkaPotrzebna_ = true;
    if (UtworzKontekstGL()) {
      UtworzCzcionkeGL();
      UstawRzutowanie();
      UstawSwiatlo();
    }
    UstawPoczatkowyWidok();
  }
  PokazScene();
}

void TRAWview::UstawModelKolor(std::uint32_t colour) {
  Model_Kolor = colour;
  if (kontekst_) UstawMaterialGL();
  PokazScene();
}

void TRAWview::UstawModelSposobKreslenia(TSposobKreslenia mode) {
  Model_SposobKreslenia = mode;
  PokazScene();
}

void TRAWview::UstawModelMaterial(double specular) {
  Model_Material = specular;
  if (kontekst_) UstawMaterialGL();
  PokazScene();
}

void TRAWview::UstawWidocznoscUkladuWsp(bool on) {
  UkladWsp = on;
  PokazScene();
}

double TRAWview::SkalaWZakresie(double scale) { return scale < 0 ? 0.0 : scale; }

void TRAWview::Nawigacja(int kind, int a, int b) {
  switch (kind) {
    case 1:
      if (a != 0) widok_.ObrotY += a * Model_KrokObrotu;
      if (b != 0) widok_.ObrotX += -b * Model_KrokObrotu;
      break;
    case 2:
      if (b != 0) widok_.Skala = SkalaWZakresie(widok_.Skala - b * Model_KrokSkali);
      break;
    case 3:
      if (a != 0) widok_.PrzesunX += a * Model_KrokPrzesuwu;
      if (b != 0) widok_.PrzesunY += b * Model_KrokPrzesuwu;
      break;
    default:
      break;
  }
}

void TRAWview::ResetujPrzeksztalcenia() {
  if (UtworzKontekstGL()) {
    UstawRzutowanie();
    UstawSwiatlo();
  }
  UstawPoczatkowyWidok();
  PokazScene();
}

void TRAWview::DostosujDoRozmiaruOkna() {
  if (UtworzKontekstGL()) UstawRzutowanie();
}

void TRAWview::CzyscScene() {
  if (!kontekst_) return;
  tylkoTlo_ = true;
  gl_->RequestRender();
}

void TRAWview::ZapiszPolozenie() {
  if (!kontekst_) return;
  gl_->MakeCurrent();
  gl_->MatrixMode(TGLMatrix::ModelView);
  gl_->PushMatrix();
  gl_->LoadIdentity();
}

bool TRAWview::ViewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
  if (Locked) return false;
  if (kontekst_) gl_->MakeCurrent();
  switch (button) {
    case Qt::LeftButton:
      przesuwanie_ = true;
      break;
    case Qt::RightButton:
      if (mods & Qt::ControlModifier)
        skalowanie_ = true;
      else
        obracanie_ = true;
      break;
    case Qt::MiddleButton:
      skalowanie_ = true;
      break;
    default:
      break;
  }
  ostatnieX_ = x;
  ostatnieY_ = y;
  return true;
}

void TRAWview::ViewMouseMove(Qt::KeyboardModifiers mods, int x, int y) {
  if (Locked || !(obracanie_ || skalowanie_ || przesuwanie_)) return;
  const int dx = x - ostatnieX_, dy = y - ostatnieY_;
  if (obracanie_) {
    if (!(mods & Qt::AltModifier)) widok_.ObrotY += dx * Model_KrokObrotu;
    if (!(mods & Qt::ShiftModifier)) widok_.ObrotX += dy * Model_KrokObrotu;
  }
  if (skalowanie_) widok_.Skala = SkalaWZakresie(widok_.Skala - dy * Model_KrokSkali);
  if (przesuwanie_) {
    if (!(mods & Qt::ControlModifier)) widok_.PrzesunX += dx * Model_KrokPrzesuwu;
    if (!(mods & Qt::ShiftModifier)) widok_.PrzesunY += -dy * Model_KrokPrzesuwu;
  }
  PokazScene();
  ostatnieX_ = x;
  ostatnieY_ = y;
}

void TRAWview::ViewMouseUp() {
  if (Locked) return;
  obracanie_ = skalowanie_ = przesuwanie_ = false;
}

bool TRAWview::DoMouseWheel(int delta) {
  widok_.Skala = SkalaWZakresie(widok_.Skala + delta * Model_KrokSkaliRolka * Model_KrokSkali);
  PokazScene();
  return true;
}

void TRAWview::Paint() {
  if (gl_ == nullptr) return;
  // Locked keeps the window's own repaints to the background; a render the
  // owner asked for (a generation step turning the model) is still shown.
  const bool zadana = scenaZadana_;
  scenaZadana_ = false;
  if (!kontekst_ || tylkoTlo_ || (Locked && !zadana)) {
    tylkoTlo_ = false;
    gl_->ClearColor(Intensity(Color, 0), Intensity(Color, 8), Intensity(Color, 16), 1.0f);
    gl_->Clear();
    return;
  }
  RysujScene();
}

void TRAWview::KontekstDostepny() {
  if (!zalegly_ || !UtworzKontekstGL()) return;
  if (czcionkaPotrzebna_) UtworzCzcionkeGL();
  UstawRzutowanie();
  UstawSwiatlo();
  PokazScene();
}

void TRAWview::KontekstUtracony() {
  if (!kontekst_) return;
  kontekst_ = false;
  zalegly_ = true;
  czcionka_ = 0;  // the display lists went with the context
}

void TRAWview::RysujScene() {
  gl_->MakeCurrent();
  gl_->MatrixMode(TGLMatrix::ModelView);
  gl_->Enable(TGLCap::DepthTest);
  gl_->FrontFaceCCW();
  gl_->Clear();
  gl_->Enable(TGLCap::Normalize);
  gl_->ShadeFlat();
  gl_->LoadIdentity();

  switch (Model_SposobKreslenia) {
    case TSposobKreslenia::skWypelnienie:
      gl_->PolygonMode(TGLPolygonMode::Fill);
      break;
    case TSposobKreslenia::skKontur:
      gl_->PolygonMode(TGLPolygonMode::Line);
      break;
    case TSposobKreslenia::skPunkty:
      gl_->PolygonMode(TGLPolygonMode::Point);
      break;
  }

  gl_->Viewport(0, 0, ClientWidth, ClientHeight);
  gl_->Translate(widok_.PrzesunX, widok_.PrzesunY, 0.0);
  gl_->Rotate(widok_.ObrotY, 0.0, 1.0, 0.0);
  gl_->Rotate(widok_.ObrotX, 1.0, 0.0, 0.0);
  gl_->Scale(widok_.Skala, widok_.Skala, widok_.Skala);

  switch (TrybPracy) {
    case TTrybPracy::tpPrzegladRAW:
    case TTrybPracy::tpPrzegladRAWtermSeryjne:
      if (UkladWsp) RysujUkladWsp();
      gl_->Translate(widok_.SrodekX, widok_.SrodekY, widok_.SrodekZ);
      RysujTrojkaty();
      break;
    case TTrybPracy::tpPrzegladPlikuWy:
      if (UkladWsp) RysujUkladWsp();
      gl_->Translate(widok_.SrodekX, widok_.SrodekY, 0.0);
      RysujFigury();
      break;
    case TTrybPracy::tpPrzegladNarzedzi:
      gl_->Rotate(270.0, 1.0, 0.0, 0.0);
      RysujNarzedzie();
      break;
  }
  gl_->SwapBuffers();
}

void TRAWview::RysujUkladWsp() {
  const double h = Round(ClientHeight * 0.5);
  const double w = Round(ClientWidth * 0.5);
  const auto line = [this](double x1, double y1, double z1, double x2, double y2, double z2) {
    gl_->Vertex(x1, y1, z1);
    gl_->Vertex(x2, y2, z2);
  };
  gl_->Begin(TGLPrimitive::Lines);
  line(0, -h, 0, 0, h, 0);
  line(-w, 0, 0, w, 0, 0);
  line(-5, h - 10, 0, 0, h, 0);
  line(5, h - 10, 0, 0, h, 0);
  line(w - 10, 5, 0, w, 0, 0);
  line(w - 10, -5, 0, w, 0, 0);
  line(0, 0, -h, 0, 0, h);
  gl_->End();
}

// The normal of a triangle is the cross product of its edges from the first
// vertex; a triangle without area has none, and gets (0, 0, 1) so that the
// normalisation is never asked to divide by zero.
void TRAWview::RysujTrojkaty() {
  if (trojkaty_ == nullptr || trojkaty_->empty()) return;
  gl_->Begin(TGLPrimitive::Triangles);
  for (const TRawTrojkat& t : *trojkaty_) {
    const double ax = double(t.X2) - t.X1, ay = double(t.Y2) - t.Y1, az = double(t.Z2) - t.Z1;
    const double bx = double(t.X3) - t.X1, by = double(t.Y3) - t.Y1, bz = double(t.Z3) - t.Z1;
    const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const double len2 = nx * nx + ny * ny + nz * nz;
    if (len2 > 0 && std::isfinite(len2))
      gl_->Normal(nx, ny, nz);
    else
      gl_->Normal(0.0, 0.0, 1.0);
    gl_->Vertex(t.X1, t.Y1, t.Z1);
    gl_->Vertex(t.X2, t.Y2, t.Z2);
    gl_->Vertex(t.X3, t.Y3, t.Z3);
  }
  gl_->End();
}

void TRAWview::RysujFigury() {
  if (figury_ == nullptr) return;
  for (const TFigura3D& f : *figury_) {
    if (f.Punkty.empty()) continue;
    gl_->Begin(TGLPrimitive::LineStrip);
    for (const TPunkt3D& p : f.Punkty) gl_->Vertex(p.x, p.y, p.z);
    gl_->End();
  }
}

}  // namespace vm
