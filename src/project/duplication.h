// The duplication generator: the pattern (the drawn figures of a project)
// repeated in rows and columns and joined by one connecting figure that runs
// through every copy in serpentine order, so the whole sheet is cut as one
// job. TfParDup holds the dialog's controls, texts and handlers; its last
// parameters are kept in a ".dpl" INI file beside the drawing.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "drawing/figury.h"
#include "project/generated_project.h"
#include "project/okno_plt.h"
#include "shell/fltedit.h"

namespace vm {

// Section and keys of the parameter file.
inline constexpr char kDuplicationSection[] = "Duplication_parameters";
inline constexpr char kKeyElementCount[] = "Number of elements in a row";
inline constexpr char kKeyRowCount[] = "Number of rows";
inline constexpr char kKeyElementShift[] = "Space between the elements";
inline constexpr char kKeyRowShift[] = "Space between the rows";
inline constexpr char kKeyVerticalLine[] =
    "Space between the elements and the vertical connecting line";
inline constexpr char kKeyHorizontalLine[] =
    "Space between the elements and the horizontal connecting line";

// Largest duplicated project: beyond it the copies would exhaust memory long
// before anything could be cut.
inline constexpr std::int64_t kMaxDuplicateFigures = 1'000'000;
inline constexpr std::int64_t kMaxDuplicatePoints = 10'000'000;

// The pattern: the figures drawn in the source (the frame, start point and
// connectors an earlier preparation added are its own cutting path and are not
// repeated), the figure cut first among them (the source's first figure, or
// its last outermost drawn figure when the source starts at a frame or start
// point), and their box (plotter units).
struct TDuplicationPattern {
  std::vector<const tfigura*> Figures;
  std::int32_t First = 0;
  std::int32_t MinX = 0;
  std::int32_t MinY = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int64_t PointCount = 0;
};
TDuplicationPattern PatternOf(const TMDIChild& source);

// The repetition in plotter units: copies per row and rows, the shifts between
// neighbouring copies, the step t of the connecting lines and their distances
// dv (vertical lines) and dh (horizontal lines) from the copies.
struct TDuplicationLayout {
  std::int32_t Columns = 1;
  std::int32_t Rows = 1;
  std::int32_t SX = 0;
  std::int32_t SY = 0;
  std::int32_t Step = 0;
  std::int32_t VLine = 1;
  std::int32_t HLine = 1;
};

// Empties target's figure list, then adds the copies row by row (rows grow
// upwards), each copy's figures in pattern order, and last the closed
// connecting figure. Raises RangeError when a coordinate leaves 32 bits; the
// target then holds whatever was added so far (build into a scratch project).
void BuildDuplicateFigures(const TDuplicationPattern& pattern, const TDuplicationLayout& layout,
                           TMDIChild& target);

// "name.plt" -> "name.dpl": the extension after the last dot of the last path
// part replaced (appended when there is none).
QString ParameterFileName(const QString& caption);

class TfParDup {
 public:
  TfParDup();
  TfParDup(const TfParDup&) = delete;
  TfParDup& operator=(const TfParDup&) = delete;

  // --- Controls (values of the U edits in mm) ---
  TFltEdit feIloscElemWWierszu{QStringLiteral("feIloscElemWWierszu")};
  TFltEdit feIloscWierszy{QStringLiteral("feIloscWierszy")};
  TFltEditU feuPrzesuniecieMdzyElem{QStringLiteral("feuPrzesuniecieMdzyElem")};
  TFltEditU feuPrzesMdzyWierszami{QStringLiteral("feuPrzesMdzyWierszami")};
  TFltEditU feuOdlMdzyEl_i_laczPionowym{QStringLiteral("feuOdlMdzyEl_i_laczPionowym")};
  TFltEditU feuOdlMdzyEl_i_laczPoziomym{QStringLiteral("feuOdlMdzyEl_i_laczPoziomym")};
  // Texts of the read-only edit and the panels; UnitLabel is "[" unit "]".
  QString ePlik;
  QString pWzorzecSzerokosc;
  QString pWzorzecWysokosc;
  QString pCalySzer;
  QString pCalyWys;
  QString UnitLabel;

  // --- State ---
  TMDIChild* Source = nullptr;
  TMDIChild* NewWindow = nullptr;
  QString ParamFileName;
  double PatternWidth = 0;  // mm
  double PatternHeight = 0;
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
  double ElementShift = 0;  // mm
  double RowShift = 0;
  std::int32_t HLineDistance = 1;  // plotter units
  std::int32_t VLineDistance = 1;
  std::int32_t Step = 0;
  int Decimals = 1;

  // The ui's window services, and the dialog's close and refresh.
  TGeneratorWindows Windows;
  std::function<void()> Close;
  std::function<void()> TextsChanged;

  // The six edits in form order (for the unit change).
  std::vector<TControl*> Components();

  // Edit settings of the form, unit label and decimals.
  void FormCreate();
  // The dialog is shown for `source`: unit, pattern size, texts, parameters
  // from the ".dpl" file or the defaults.
  void TntFormActivate();
  void feIloscElemWWierszuChange();
  void feIloscWierszyChange();
  void btnParDomyslneClick() { SetDefaults(); }
  // Execute: checks, builds the new window, saves the parameters, closes.
  void btnZatwierdzClick();

  void SetDefaults();
  // Reads the file's section; false when the file or section is missing.
  bool LoadParams(const QString& fileName);
  // Writes the six keys in place of the section; IoError when it cannot.
  void SaveParams(const QString& fileName) const;
  // The checks in order; the first failure shows its message, focuses its
  // edit and gives false.
  bool ValidateParams();
  // Fills `target` from Source with the current parameters (Columns, Rows,
  // shifts, Step and line distances) and finishes it as a load does.
  bool BuildDuplicates(TMDIChild& target);

  // Layout of the current parameters (RangeError past 32 bits).
  TDuplicationLayout Layout() const;

 private:
  // Unit label and decimals of the current length unit.
  void ApplyUnit();
  QString UnitText(double mm, int precision, int digits) const;
  void Refresh();
};

}  // namespace vm
