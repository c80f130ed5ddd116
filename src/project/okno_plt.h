// The project window model: one opened drawing or one generated project.
//
// TMDIChild owns the figure list that every path preparation works on (list
// order is cutting order), the project's bounding box and the flags shared by
// the preparations, the savers, the drawing and the cut sequencer. It holds no
// widget: the project window widget binds one of these, shows `StatusBar` and
// `Caption`, and closes itself when `CloseRequested` is set (a failed load or
// preparation).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "drawing/figury.h"

namespace vm {

class Thpgl;
class TMDIChild;
struct JobSettings;

// A rectangle in window pixels, 32-bit each side.
struct TRectI {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

// The window's own status line: one simple panel.
struct TStatusLine {
  QString SimpleText;
};

// What closing a window does with it (the widget acts on it).
enum class TCloseAction { None, Hide, Free, Minimize };

// The owned figure list of a project.
using TFigureList = std::vector<std::unique_ptr<tfigura>>;

// A path preparation for one work mode. Returns false when it failed; it has
// then shown its message and requested the window's close itself.
using TPreparation = std::function<bool(TMDIChild&)>;

// Program-wide hooks of the project windows. The ui fills the display hooks at
// start-up; the path preparations are registered by their own units. An empty
// hook does nothing (a preparation that is not installed prepares nothing).
struct TProjectHooks {
  // Shows a text on the main window's status line and repaints it at once.
  std::function<void(const QString&)> ShowMainStatus;
  // Sets the hourglass cursor, saving the previous one; RestoreCursor puts it back.
  std::function<void()> SetWaitCursor;
  std::function<void()> RestoreCursor;
  // Mode preparations: turning, rotary cutting, plain cutting.
  TPreparation toczenie;
  TPreparation ciecie_obrotowe;
  TPreparation ciecie;
};

// Reader mode for a drawing file: 2 (DXF) for a ".dxf" name, 1 (HPGL) for a
// ".plt" name, in any letter case; otherwise the given file type.
int ReaderModeFor(const QString& fileName, int fileType);

// The one instance, and its reset to empty hooks (tests).
TProjectHooks& ProjectHooks();
void ResetProjectHooks();

// Holds the hourglass cursor for its lifetime, so every exit of a long
// operation (including an error) restores the previous cursor.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
  // Restores the cursor early; later calls and the destructor do nothing.
  void Restore();

 private:
  bool active_ = true;
};

class TMDIChild {
 public:
  TMDIChild();
  ~TMDIChild();  // frees every figure and the list
  TMDIChild(const TMDIChild&) = delete;
  TMDIChild& operator=(const TMDIChild&) = delete;

  // --- Members, in declaration order (coordinates in plotter units) ---
  TStatusLine StatusBar;
  // The drawing reader or job writer; exists only during one load or one save.
  std::unique_ptr<Thpgl> Reader;
  // The operator stopped a simulation replay.
  bool SimulationAborted = false;
  // Area the mouse handlers invalidate.
  TRectI RepaintRect;
  // Index of the rotation-axis figure, -1 when there is none.
  std::int32_t AxisFigure = -1;
  // Project bounding box.
  std::int32_t MinX = 0;
  std::int32_t MinY = 0;
  std::int32_t MaxX = 0;
  std::int32_t MaxY = 0;
  // True once the connector search of plain cutting has completed.
  bool ConnectorsDone = false;
  // The project: list order is cutting order; the window owns every figure.
  TFigureList Figures;
  // MaxX - MinX and MaxY - MinY.
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // Distances of the plain-cutting entry point from the box.
  std::int32_t EntryLeft = 0;
  std::int32_t EntryRight = 0;
  std::int32_t EntryTop = 0;
  std::int32_t EntryBottom = 0;
  // Set by the simulation command around one paint.
  bool Simulating = false;
  // Figure picked with the mouse, -1 none.
  std::int32_t SelectedFigure = -1;
  // Pass counter of the turning preparation.
  std::int32_t RoughingPass = 0;
  // Deepest nesting level found by co_w_czym.
  std::int32_t MaxDepth = 0;
  // Total length of the cutting path in plotter units.
  double PathLength = 0;
  // Rotary cutting: after the shift to the axis the highest Y of the profile is 0.
  bool ProfileOnAxis = false;
  // Whether the plain-cutting job also cuts the frame.
  bool CutFrame = false;
  // Plain cutting: the project has an outer frame or one outermost figure.
  bool HasFrame = false;
  // Set by the frame steps of plain cutting.
  bool FrameAdded = false;
  // Rotary cutting found a horizontal or a vertical axis line.
  bool HorizontalAxis = false;
  bool VerticalAxis = false;
  // Order number of this project in serial cutting, 0 to 9999.
  std::int32_t PassNumber = 0;
  // 1 HPGL, 2 DXF: the open dialog's filter index, set before Load.
  std::int32_t FileType = 1;
  // The project is exactly one open figure.
  bool SingleOpenFigure = false;
  // Index of the figure that is cut first.
  std::int32_t FirstFigure = 0;
  // 1 towards larger X, 255 (-1) towards smaller X.
  std::uint8_t FeedDirection = 1;
  std::uint8_t LoadFeedDirection = 1;
  // Turntable angle of this pass in degrees.
  double PassAngle = 0;

  // --- Window state held for the widget ---
  QString Caption = QStringLiteral("MDIplt");
  // The window takes right-to-left layout (set by TntFormCreate).
  bool RightToLeft = false;
  // A load or preparation failed: the window must close (its message was shown).
  bool CloseRequested = false;

  // --- Loading and the figure list ---

  // Reads the drawing into Figures and prepares it for the current work mode.
  // The reader follows the file's extension (".dxf" DXF, ".plt" HPGL, any
  // case), else FileType; FileType is set to the mode used. Returns false when
  // the window must close (the reason has been shown, CloseRequested is set):
  // the figure list is then empty, the reader released and the cursor restored,
  // also after an error raised while reading or preparing.
  bool Load(const QString& fileName);
  // Computes the figure parameters (box, extreme indexes, centre, closure, flags).
  void licz_parametry(tfigura& figure) const;
  // Parameters, oryg := true, append; returns the new index.
  std::int32_t AddFigure(std::unique_ptr<tfigura> figure);
  // Parameters, typ := closed, oryg := false (a connector), append; returns the new index.
  std::int32_t AddLacznik(std::unique_ptr<tfigura> figure, std::uint8_t closed);
  // Sets the project box from the figures' boxes and every figure's Index.
  void Ustaw_PPiPK();
  // Position of the first entry into the material, mm.
  double DajPoz1szegoWjazduWmat() const;
  // Writes the text dump of the figure list; raises IoError when it cannot.
  void ZapiszFiguryDoPliku(const QString& fileName) const;
  // Number of figures as a 32-bit index bound.
  std::int32_t FigureCount() const { return static_cast<std::int32_t>(Figures.size()); }

  // --- The drawing behind the preparations ---

  // Keeps a copy of the figure list and the box as they stand: the drawing as
  // loaded or generated, before any preparation. Load and the generators call
  // it once their figure list is complete.
  void KeepDrawing();
  // Puts the kept drawing back and clears everything a preparation works out
  // (axis, frame and connectors, nesting, entry, order, path length), so that
  // preparing again in any work mode gives what a fresh load in that mode
  // gives. False, changing nothing, when no drawing has been kept.
  bool StartFromDrawing();

  // --- Nesting and direction ---

  // Sets every figure's Depth, NestParent and ChildCount; raises MaxDepth.
  void co_w_czym();
  // Reverses the point order of one figure, or of every figure for a negative
  // index. Indexes that point into a reversed figure follow their points.
  void OdwrocKierunek(std::int32_t index);
  // Reverses every figure with Cut set that runs against the direction
  // (1 towards larger X, any other value towards smaller X).
  void UstawKierunek(std::int32_t direction);
  // Orientation query, measured at the figure's lowest vertex: 1 clockwise,
  // -1 counter-clockwise, 0 for an open or degenerate figure and for a
  // negative index (which changes nothing). RangeError past the list.
  std::int32_t JakiKierunek(std::int32_t index) const;

  // --- Mode preparations (through ProjectHooks) ---
  bool toczenie();
  bool ciecie_obrotowe();
  bool ciecie();

  // --- Turning (project/turning.cpp, roughing.cpp, outline_offset.cpp) ---
  // Orders Figures by the turning order numbers; indexes into the list follow.
  void sortuj_toczenie();
  // Roughing passes for turning, clipped against the figures' outlines.
  void make_new_fig();
  // Fills the figure's Outline: the centre path of an elliptical tool with
  // semi-axes rx, ry (plotter units) touching the figure from its left side.
  void makeOutline(std::int32_t index, std::int32_t rx, std::int32_t ry);

  // --- Job-file savers (savers.cpp) ---
  // Each writes the prepared path of its work mode as a job file through the
  // job writer, which holds `job` (its output code, settings and machine
  // values) for the save. Figures first..last are written (RangeError outside
  // the list). A failed create or write raises IoError; the cursor and the
  // main status line are restored and the writer released on every exit, and
  // every figure reversed for a pass is restored.

  // Turning on the spindle (output code 30) and on the turntable (301): every
  // figure with Cut set and an order number, in ilosckrokow passes.
  void Save_toczenie_wrzeciono(const QString& fileName, std::int32_t first, std::int32_t last,
                               const JobSettings& job);
  void Save_toczenie_stolik(const QString& fileName, std::int32_t first, std::int32_t last,
                            const JobSettings& job);
  // Rotary cutting (31 and 311): every figure with Cut set, in ilosckrokow
  // passes with the hold between them.
  void Save_ciecie_obrotowe(const QString& fileName, std::int32_t first, std::int32_t last,
                            const JobSettings& job);
  // Plain (32) and serial (33) cutting: the cutting tree from FirstFigure
  // (first and last are not used), then a turn of closingRotation revolutions
  // in place (0 for plain cutting; a serial pass's turn of the table).
  void save_ciecie(const QString& fileName, std::int32_t first, double closingRotation,
                   std::int32_t last, const JobSettings& job);
  // The saver of an output code: turning and rotary cutting write figures
  // first..last; plain and serial cutting write the tree with a closing turn of
  // closingRotation revolutions.
  void SaveJob(std::int32_t code, const QString& fileName, std::int32_t first, std::int32_t last,
               double closingRotation, const JobSettings& job);

  // --- Window events that hold logic ---
  void FormClose(TCloseAction& action);
  void TntFormCreate();
  // Marks the window for closing after a failure.
  void RequestClose() { CloseRequested = true; }

 private:
  // What KeepDrawing copied: the figures without their points, and every
  // figure's points in list order, packed (see okno_plt.cpp): a drawing's
  // neighbouring points lie close together, so the kept copy takes a few
  // bytes a point instead of eight.
  struct TKeptDrawing {
    bool Kept = false;
    std::vector<tfigura> Figures;
    std::vector<std::uint8_t> Points;
    std::int32_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    std::int32_t Width = 0, Height = 0;
    bool SingleOpenFigure = false;
  };
  TKeptDrawing drawing_;
};

}  // namespace vm
