// The 3D model viewer: shows a triangle model, a set of polylines or a tool
// model in perspective, turned, moved and zoomed with the mouse.
//
// TRAWview keeps the view (rotation, pan, centring, scale), the lists it shows
// (not owned: the owner keeps them alive and unchanged while they are shown)
// and decides every GL operation of a frame; it draws through the TViewGL
// binding of its window. Nothing is drawn before one of LadujListeRAW,
// LadujListeFigur, PokazNarzedzie or ResetujPrzeksztalcenia has obtained the
// window's rendering context; while Locked the view ignores the mouse and a
// paint it did not ask for shows only its background, but PokazScene still
// renders the scene.
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <vector>

#include "drawing/definicje.h"
#include "model3d/view_gl.h"

namespace vm {

enum class TSposobKreslenia : std::uint8_t { skWypelnienie, skKontur, skPunkty };

enum class TTrybPracy : std::uint8_t {
  tpPrzegladRAW,             // a triangle model as it lies
  tpPrzegladNarzedzi,        // a tool model built from quadrics
  tpPrzegladPlikuWy,         // polylines of an output file
  tpPrzegladRAWtermSeryjne,  // a triangle model centred for the serial-cut generator
};

// A point of a polyline shown in the viewer.
struct TPunkt3D {
  float x = 0, y = 0, z = 0;
};

// One polyline shown in the viewer.
struct TFigura3D {
  std::vector<TPunkt3D> Punkty;
};

// Colours are 0x00BBGGRR values (red in the low byte).
inline constexpr std::uint32_t kRawViewPanelColour = 0xF0F0F0;  // button face

// The view transformation.
struct TWidok3D {
  double ObrotY = 0;    // rotation about Y, degrees
  double ObrotX = 0;    // rotation about X, degrees
  double PrzesunX = 0;  // pan
  double PrzesunY = 0;
  double SrodekX = 0;  // centring offsets, model units
  double SrodekY = 0;
  double SrodekZ = 0;
  double Skala = 1;
};

class TRAWview {
 public:
  TRAWview() = default;
  TRAWview(const TRAWview&) = delete;
  TRAWview& operator=(const TRAWview&) = delete;

  // The window the view draws on (nullptr: none; nothing is drawn).
  void Bind(TViewGL* gl) {
    gl_ = gl;
    bezGL_ = false;
  }
  // The window can give no rendering context at all (the display has no
  // OpenGL): nothing is drawn, and the first set-up tells the operator so.
  void BindUnavailable() {
    gl_ = nullptr;
    bezGL_ = true;
  }

  // ---- properties ----
  double Model_KrokObrotu = 0.5;       // degrees per pixel or navigation unit
  double Model_KrokSkali = 0.0001;     // scale per pixel or navigation unit
  double Model_KrokPrzesuwu = 0.01;    // pan per pixel or navigation unit
  double Model_KrokSkaliRolka = 0.08;  // factor of the wheel delta
  TSposobKreslenia Model_SposobKreslenia = TSposobKreslenia::skWypelnienie;
  std::uint32_t Model_Kolor = 0x0000FF;  // red
  double Model_Material = 0.0;           // specular intensity
  bool UkladWsp = false;                 // draw the axes (and the tool dimensions)
  TTrybPracy TrybPracy = TTrybPracy::tpPrzegladRAW;
  std::uint32_t Color = kRawViewPanelColour;  // the panel's own (background) colour
  bool Locked = false;                        // ignore the mouse; paint only what PokazScene asks
  int ClientWidth = 0;                        // the window's client size, pixels
  int ClientHeight = 0;

  // ---- operations (all render unless noted) ----
  // Renders the scene: asks the window to paint, which draws the scene also
  // while Locked.
  void PokazScene();
  // Shows a triangle list with its extents (mm): the context, projection,
  // light and initial view are set up again.
  void LadujListeRAW(const std::vector<TRawTrojkat>* list, double minX, double minY, double minZ,
                     double maxX, double maxY, double maxZ);
  // The same for polylines.
  void LadujListeFigur(const std::vector<TFigura3D>* list, double minX, double minY, double maxX,
                       double maxY);
  // Shows tool model `tool` (0..2; others draw no tool); the first call sets
  // up the context, the bitmap font, projection, light and initial view.
  void PokazNarzedzie(int tool);
  void UstawModelKolor(std::uint32_t colour);
  void UstawModelSposobKreslenia(TSposobKreslenia mode);
  void UstawModelMaterial(double specular);
  void UstawWidocznoscUkladuWsp(bool on);
  // The value, or 0 when it is negative (no redraw).
  static double SkalaWZakresie(double scale);
  // kind 1 turns (a about Y, -b about X), 2 zooms by -b, 3 pans by (a, b),
  // each in steps of the matching property (no redraw).
  void Nawigacja(int kind, int a, int b);
  // Context, projection, light and initial view again.
  void ResetujPrzeksztalcenia();
  // Context and projection for the current client size (no redraw).
  void DostosujDoRozmiaruOkna();
  // Shows only the background until the next render.
  void CzyscScene();
  // Pushes the model-view matrix and loads the identity (no redraw).
  void ZapiszPolozenie();

  // ---- mouse; the window forwards its events ----
  // Starts a drag: left pans, right rotates (zooms with Ctrl), middle zooms.
  // True when the press was taken (the window then takes the focus).
  bool ViewMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
  void ViewMouseMove(Qt::KeyboardModifiers mods, int x, int y);
  void ViewMouseUp();
  // Zooms by the wheel delta (120 a notch); the wheel is always handled.
  bool DoMouseWheel(int delta);

  // ---- the window's side ----
  // The window's paint, with its context current: the background, then the
  // scene unless just cleared, or Locked without a PokazScene since the last
  // paint.
  void Paint();
  // Stops showing the triangle and polyline lists (no redraw): their owner is
  // about to replace them on another thread.
  void OdlaczListy();
  // The window's context became available, or was lost (the window moved to
  // another top-level window): the set-up waiting for it runs again.
  void KontekstDostepny();
  void KontekstUtracony();

  // ---- state ----
  const TWidok3D& Widok() const { return widok_; }
  int Narzedzie() const { return narzedzie_; }
  bool KontekstUtworzony() const { return kontekst_; }
  bool KontekstOczekuje() const { return zalegly_; }
  bool Obracanie() const { return obracanie_; }
  bool Skalowanie() const { return skalowanie_; }
  bool Przesuwanie() const { return przesuwanie_; }

 private:
  bool UtworzKontekstGL();
  void UstawRzutowanie();
  void UstawSwiatlo();
  void UstawMaterialGL();
  void UstawKolorGL();
  void UstawPoczatkowyWidok();
  void UtworzCzcionkeGL();
  void RysujScene();
  void RysujUkladWsp();
  void RysujTrojkaty();
  void RysujFigury();
  void RysujNarzedzie();
  void RysujTekst(const char* text);
  void RysujOpisyWymiarow(double p1, double p2, double p3, double p4, double p5, double p6);

  TViewGL* gl_ = nullptr;
  const std::vector<TRawTrojkat>* trojkaty_ = nullptr;
  const std::vector<TFigura3D>* figury_ = nullptr;
  double minX_ = 0, minY_ = 0, minZ_ = 0, maxX_ = 0, maxY_ = 0, maxZ_ = 0;
  TWidok3D widok_;
  bool obracanie_ = false, skalowanie_ = false, przesuwanie_ = false;
  int ostatnieX_ = 0, ostatnieY_ = 0;
  int narzedzie_ = -1;
  std::uint32_t czcionka_ = 0;  // first font display list, 0 none
  bool kontekst_ = false;
  bool zalegly_ = false;            // set-up waits for the window's context
  bool czcionkaPotrzebna_ = false;  // the font is part of that set-up
  bool brakZgloszony_ = false;      // the missing context was reported
  bool bezGL_ = false;              // bound to a window without OpenGL
  bool tylkoTlo_ = false;           // the next paint shows only the background
  bool scenaZadana_ = false;        // PokazScene asked for the next paint
};

}  // namespace vm
