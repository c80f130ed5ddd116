// Duplication generator: parameters, checks, the parameter file, the copies
// and the connecting figure.
#include "project/duplication.h"

#include <QFileInfo>
#include <cmath>
#include <memory>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "project/duplication_route.h"
#include "project/profile_ini.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/messages.h"
#include "shell/utilities.h"

namespace vm {
namespace {

// One millimetre in plotter units.
constexpr std::int64_t kMm = 40;

TPointI Pt(std::int64_t x, std::int64_t y) {
  if (!std::in_range<std::int32_t>(x) || !std::in_range<std::int32_t>(y))
    throw RangeError("duplicated coordinate outside 32 bits");
  return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

// Builds the connecting figure's points over the copies already in `w`.
class TConnectorBuilder {
 public:
  TConnectorBuilder(const TDuplicationPattern& p, const TDuplicationLayout& l, const TMDIChild& w)
      : p_(p), l_(l), w_(w), P_(static_cast<std::int64_t>(p.Figures.size())) {}

  std::vector<TPointI> Build() {
    AddConnectorStart();
    for (std::int32_t r = l_.Rows - 1; r >= 0; --r) {
      if (IsEvenRowFromLast(r))
        AddConnectorEvenRow(r);
      else
        AddConnectorOddRow(r);
    }
    AddConnectorEnd();
    return std::move(points_);
  }

 private:
  const tfigura& Figure(std::int64_t index) const {
    return *w_.Figures.at(static_cast<std::size_t>(index));
  }
  // The entry figure of copy (r, j) and its first point (l, h).
  const tfigura& EntryFigure(std::int32_t r, std::int32_t j) const {
    return Figure((std::int64_t{r} * l_.Columns + j) * P_ + p_.First);
  }
  TPointI Entry(std::int32_t r, std::int32_t j) const { return EntryFigure(r, j).Points.front(); }
  void Add(std::int64_t x, std::int64_t y) { points_.push_back(Pt(x, y)); }
  void Add(TPointI q) { points_.push_back(q); }
  bool IsEvenRowFromLast(std::int32_t r) const { return (l_.Rows - 1 - r) % 2 == 0; }

  void AddConnectorStart() {
    const std::int64_t dv = l_.VLine;
    const std::int64_t x = std::int64_t{p_.MinX} - dv - kMm;
    const std::int64_t y0 = l_.Rows % 2 == 1 ? std::int64_t{p_.MinY} - dv - kMm : p_.MinY - dv;
    Add(x, y0);
    Add(x, y0 + std::int64_t{l_.Rows - 1} * l_.SY);
    // With several pattern figures the line enters the figure after the first
    // one of the top-left copy; that index lies past the list when the entry
    // figure is the pattern's last and there is one column: then the top-left
    // copy's entry figure itself.
    std::int64_t index = 0;
    if (P_ >= 2) {
      index = std::int64_t{l_.Rows - 1} * l_.Columns * P_ + p_.First + 1;
      if (index >= static_cast<std::int64_t>(w_.Figures.size())) index -= 1;
    }
    Add(Figure(index).Points.front());
  }

  void AddConnectorEvenRow(std::int32_t r) {
    const std::int64_t t = l_.Step, dh = l_.HLine, dv = l_.VLine, SX = l_.SX, SY = l_.SY;
    for (std::int32_t j = 0; j < l_.Columns; ++j) {
      if (r == 0 && j == l_.Columns - 1) return;
      const TPointI e = Entry(r, j);
      const std::int64_t l = e.X, h = e.Y;
      Add(e);
      Add(l + t, h - dh);
      if (j < l_.Columns - 1) {
        Add(l + SX - t, h - dh);
        Add(l + SX, h);
      } else {
        const std::int64_t right = l + p_.Width + dv;
        Add(right, h - dh);
        if (r > 0) {
          Add(right, h - dh - SY);
          Add(l + t, h - dh - SY);
          Add(l, h - SY);
        }
      }
    }
  }

  void AddConnectorOddRow(std::int32_t r) {
    const std::int64_t t = l_.Step, dh = l_.HLine, dv = l_.VLine, SX = l_.SX, SY = l_.SY;
    for (std::int32_t j = l_.Columns - 1; j >= 0; --j) {
      const TPointI e = Entry(r, j);
      const std::int64_t l = e.X, h = e.Y;
      Add(e);
      if (j > 0) {
        Add(l - t, h - dh);
        Add(l - SX + t, h - dh);
        Add(l - SX, h);
      } else if (r > 0) {
        const std::int64_t m = EntryFigure(r, j).fig_pp.X;
        Add(m - dv, h - dh);
        Add(m - dv, h - dh - SY);
        Add(l, h - SY);
      }
    }
  }

  void AddConnectorEnd() {
    const std::int64_t dv = l_.VLine, dh = l_.HLine;
    const TPointI first = Entry(0, 0);
    if (l_.Rows % 2 == 1) {
      const TPointI e = Entry(0, l_.Columns - 1);
      Add(e);
      Add(e.X, std::int64_t{e.Y} - dh - kMm);
      Add(std::int64_t{first.X} - dv - kMm, std::int64_t{e.Y} - dh - kMm);
    } else {
      Add(first);
      Add(std::int64_t{p_.MinX} - dv - kMm, std::int64_t{p_.MinY} - dv);
    }
  }

  const TDuplicationPattern& p_;
  const TDuplicationLayout& l_;
  const TMDIChild& w_;
  const std::int64_t P_;
  std::vector<TPointI> points_;
};

// The mm value of an INI entry, nullopt when missing or not a finite number.
std::optional<double> ReadFloat(const TProfileIni& ini, const char* key) {
  const auto text = ini.ReadString(kDuplicationSection, key);
  if (!text) return std::nullopt;
  return ParseFloatText(*text);
}

// A shift in mm; one whose plotter units would leave the coordinate range
// reads as the default, so that the line distances derived from it stay in
// range too.
double ReadShift(const TProfileIni& ini, const char* key, double defaultMm) {
  if (const auto v = ReadFloat(ini, key)) {
    try {
      MmToPlotterUnits(*v);
      return *v;
    } catch (const RangeError&) {
    }
  }
  return defaultMm;
}

// A line distance in plotter units; a value past the coordinate range reads
// as the default.
std::int32_t ReadLineDistance(const TProfileIni& ini, const char* key, double defaultMm) {
  if (const auto v = ReadFloat(ini, key)) {
    try {
      return MmToPlotterUnits(*v);
    } catch (const RangeError&) {
    }
  }
  return MmToPlotterUnits(defaultMm);
}

std::int32_t ReadCount(const TProfileIni& ini, const char* key, std::int32_t defaultValue) {
  const auto text = ini.ReadString(kDuplicationSection, key);
  if (!text) return defaultValue;
  bool ok = false;
  const int v = text->toInt(&ok, 10);
  return ok ? v : defaultValue;
}

QString IniNumber(double v) {
  return FormatFloat(v, TFloatFormat::ffGeneral, 15, 0, LocaleDecimalPoint());
}

// A non-zero plotter distance: 0 becomes 1.
std::int32_t NonZero(std::int32_t v) { return v == 0 ? 1 : v; }

}  // namespace

TDuplicationPattern PatternOf(const TMDIChild& source) {
  TDuplicationPattern p;
  std::int32_t minX = std::numeric_limits<std::int32_t>::max(), minY = minX;
  std::int32_t maxX = std::numeric_limits<std::int32_t>::min(), maxY = maxX;
  // When the preparation started the source at a frame or start point of its
  // own, the copies are entered at the pattern's last outermost figure, the one
  // that preparation takes first before it adds them; an inner figure would put
  // the connecting line across the pattern's material.
  bool firstFound = false;
  std::int32_t outermostDepth = std::numeric_limits<std::int32_t>::max();
  std::int32_t outermost = 0;
  for (std::int32_t i = 0; i < source.FigureCount(); ++i) {
    const tfigura& f = *source.Figures[static_cast<std::size_t>(i)];
    if (f.Kind != 0 || f.Points.empty()) continue;
    const auto index = static_cast<std::int32_t>(p.Figures.size());
    if (i == source.FirstFigure) {
      p.First = index;
      firstFound = true;
    }
    if (f.Depth <= outermostDepth) {
      outermostDepth = f.Depth;
      outermost = index;
    }
    p.Figures.push_back(&f);
    p.PointCount += static_cast<std::int64_t>(f.Points.size());
    minX = std::min(minX, f.fig_pp.X);
    minY = std::min(minY, f.fig_pp.Y);
    maxX = std::max(maxX, f.fig_pk.X);
    maxY = std::max(maxY, f.fig_pk.Y);
  }
  if (!p.Figures.empty()) {
    if (!firstFound) p.First = outermost;
    p.MinX = minX;
    p.MinY = minY;
    p.Width = CheckedSub(maxX, minX);
    p.Height = CheckedSub(maxY, minY);
  }
  return p;
}

void BuildDuplicateFigures(const TDuplicationPattern& pattern, const TDuplicationLayout& layout,
                           TMDIChild& target) {
  target.Figures.clear();
  if (pattern.Figures.empty() || layout.Columns < 1 || layout.Rows < 1)
    throw RangeError("nothing to duplicate");
  for (std::int32_t r = 0; r < layout.Rows; ++r) {
    for (std::int32_t j = 0; j < layout.Columns; ++j) {
      const std::int64_t dx = std::int64_t{j} * layout.SX;
      const std::int64_t dy = std::int64_t{r} * layout.SY;
      for (const tfigura* src : pattern.Figures) {
        auto f = std::make_unique<tfigura>();
        f->Pen = src->Pen;
        f->PenWidth = src->PenWidth;
        f->Points.reserve(src->Points.size());
        for (const TPointI& q : src->Points) f->Points.push_back(Pt(q.X + dx, q.Y + dy));
        target.AddFigure(std::move(f));
      }
    }
  }
  auto connector = std::make_unique<tfigura>();
  connector->Points = TConnectorBuilder(pattern, layout, target).Build();
  // The serpentine lines below the rows suit a pattern entered on its box's
  // lower edge. Where they would cross a copy or run through its material
  // (several parts side by side, an entry above the box's bottom, a hole
  // entered from outside), the figure runs along the gaps between the copies
  // instead and reaches each entry point by a clear straight way.
  const TPatternClearance clearance(pattern, layout);
  if (!clearance.RouteClear(connector->Points)) {
    std::vector<TPointI> alongGaps =
        RouteAlongGaps(pattern, layout, clearance, connector->Points.front());
    if (!alongGaps.empty()) connector->Points = std::move(alongGaps);
  }
  target.AddLacznik(std::move(connector), 1);
}

QString ParameterFileName(const QString& caption) {
  const qsizetype sep = std::max(caption.lastIndexOf('/'), caption.lastIndexOf('\\'));
  const qsizetype dot = caption.lastIndexOf('.');
  const QString stem = dot > sep ? caption.left(dot) : caption;
  return stem + QStringLiteral(".dpl");
}

TfParDup::TfParDup() {
  const auto widthChanged = [this] { feIloscElemWWierszuChange(); };
  const auto heightChanged = [this] { feIloscWierszyChange(); };
  feIloscElemWWierszu.OnChange = widthChanged;
  feuPrzesuniecieMdzyElem.OnChange = widthChanged;
  feIloscWierszy.OnChange = heightChanged;
  feuPrzesMdzyWierszami.OnChange = heightChanged;
  feuOdlMdzyEl_i_laczPionowym.OnChange = heightChanged;
  feuOdlMdzyEl_i_laczPoziomym.OnChange = heightChanged;
  FormCreate();
}

std::vector<TControl*> TfParDup::Components() {
  return {&feIloscElemWWierszu,         &feIloscWierszy,
          &feuPrzesuniecieMdzyElem,     &feuPrzesMdzyWierszami,
          &feuOdlMdzyEl_i_laczPionowym, &feuOdlMdzyEl_i_laczPoziomym};
}

void TfParDup::FormCreate() {
  for (TFltEdit* e : {&feIloscElemWWierszu, &feIloscWierszy}) {
    e->SetffFormat(TFloatFormat::ffGeneral);
    e->SetDigit(0);
  }
  feIloscElemWWierszu.SetValue(2);
  feIloscWierszy.SetValue(1);
  for (TFltEditU* e : {&feuPrzesuniecieMdzyElem, &feuPrzesMdzyWierszami,
                       &feuOdlMdzyEl_i_laczPionowym, &feuOdlMdzyEl_i_laczPoziomym}) {
    e->SetffFormat(TFloatFormat::ffFixed);
    e->SetPrecision(8);
    e->SetDigit(2);
    e->SetLiniowyInkrement(false);
  }
  ApplyUnit();
}

void TfParDup::ApplyUnit() {
  const int unit = KnownUnit(CurrentUnit);
  UnitLabel = vm::UnitLabel(unit);
  Decimals = unit + 1;
}

QString TfParDup::UnitText(double mm, int precision, int digits) const {
  return FormatFloat(MmToUnit(CurrentUnit, mm), TFloatFormat::ffFixed, precision, digits,
                     LocaleDecimalPoint());
}

void TfParDup::Refresh() {
  if (TextsChanged) TextsChanged();
}

void TfParDup::TntFormActivate() {
  ApplyUnit();  // the unit may have changed since the dialog was made
  ApplyUnitsToForm(Components());
  if (Source == nullptr) return;
  const TDuplicationPattern pattern = PatternOf(*Source);
  PatternWidth = PlotterUnitsToMm(pattern.Width);
  PatternHeight = PlotterUnitsToMm(pattern.Height);
  ePlik = Source->Caption;
  pWzorzecSzerokosc = UnitText(PatternWidth, 8, Decimals) + QLatin1Char(' ');
  pWzorzecWysokosc = UnitText(PatternHeight, 8, Decimals) + QLatin1Char(' ');
  ParamFileName = ParameterFileName(Source->Caption);
  if (LoadParams(ParamFileName)) {
    feIloscElemWWierszu.SetValue(Columns);
    feIloscWierszy.SetValue(Rows);
    feuPrzesuniecieMdzyElem.SetValue(ElementShift);
    feuPrzesMdzyWierszami.SetValue(RowShift);
    feuOdlMdzyEl_i_laczPionowym.SetValue(PlotterUnitsToMm(VLineDistance));
    feuOdlMdzyEl_i_laczPoziomym.SetValue(PlotterUnitsToMm(HLineDistance));
  } else {
    SetDefaults();
  }
  feIloscElemWWierszuChange();
  feIloscWierszyChange();
}

void TfParDup::feIloscElemWWierszuChange() {
  pCalySzer = UnitText(feIloscElemWWierszu.Value() * feuPrzesuniecieMdzyElem.Value(), 8, Decimals) +
              QLatin1Char(' ');
  Refresh();
}

void TfParDup::feIloscWierszyChange() {
  pCalyWys = UnitText(feIloscWierszy.Value() * feuPrzesMdzyWierszami.Value(), 8, Decimals) +
             QLatin1Char(' ');
  Refresh();
}

void TfParDup::SetDefaults() {
  const double shift = PatternWidth + 10;
  const double rowShift = PatternHeight + 10;
  feuPrzesuniecieMdzyElem.SetValue(shift);
  feuPrzesMdzyWierszami.SetValue(rowShift);
  feuOdlMdzyEl_i_laczPionowym.SetValue((shift - PatternWidth) / 2);
  feuOdlMdzyEl_i_laczPoziomym.SetValue((rowShift - PatternHeight) / 2);
  if (feIloscElemWWierszu.OnFocusRequest) feIloscElemWWierszu.OnFocusRequest();
}

bool TfParDup::LoadParams(const QString& fileName) {
  if (fileName.isEmpty() || !QFileInfo::exists(fileName)) return false;
  TProfileIni ini;
  if (!ini.Load(fileName) || !ini.SectionExists(kDuplicationSection)) return false;
  Columns = ReadCount(ini, kKeyElementCount, 2);
  Rows = ReadCount(ini, kKeyRowCount, 1);
  ElementShift = ReadShift(ini, kKeyElementShift, PatternWidth + 10);
  RowShift = ReadShift(ini, kKeyRowShift, PatternHeight + 10);
  VLineDistance = ReadLineDistance(ini, kKeyVerticalLine, (ElementShift - PatternWidth) / 2);
  HLineDistance = ReadLineDistance(ini, kKeyHorizontalLine, (RowShift - PatternHeight) / 2);
  return true;
}

void TfParDup::SaveParams(const QString& fileName) const {
  if (fileName.isEmpty()) return;
  TProfileIni ini;
  ini.Load(fileName);  // a missing file starts empty
  ini.EraseSection(kDuplicationSection);
  ini.WriteString(kDuplicationSection, kKeyElementCount, QString::number(Columns));
  ini.WriteString(kDuplicationSection, kKeyRowCount, QString::number(Rows));
  ini.WriteString(kDuplicationSection, kKeyElementShift, IniNumber(ElementShift));
  ini.WriteString(kDuplicationSection, kKeyRowShift, IniNumber(RowShift));
  ini.WriteString(kDuplicationSection, kKeyVerticalLine,
                  IniNumber(PlotterUnitsToMm(VLineDistance)));
  ini.WriteString(kDuplicationSection, kKeyHorizontalLine,
                  IniNumber(PlotterUnitsToMm(HLineDistance)));
  ini.Save(fileName);
}

bool TfParDup::ValidateParams() {
  const auto fail = [](TNumericEdit& edit, const QString& text) {
    if (edit.OnFocusRequest) edit.OnFocusRequest();
    ShowMessageBox(text, true);
    return false;
  };
  const QString unit = UnitName(KnownUnit(CurrentUnit));
  // A count below one would truncate to no copies at all.
  const double columns = std::trunc(feIloscElemWWierszu.Value());
  const double rows = std::trunc(feIloscWierszy.Value());
  if (!(columns >= 1))
    return fail(feIloscElemWWierszu, Tr("Duplication_parameters", "BlednaIloscElem"));
  if (!(rows >= 1)) return fail(feIloscWierszy, Tr("Duplication_parameters", "BlednaIloscWierszy"));

  const double shift = feuPrzesuniecieMdzyElem.Value();
  const double rowShift = feuPrzesMdzyWierszami.Value();
  if (shift < PatternWidth) {
    const QString text = Tr("Duplication_parameters", "ElNachodzaNaSiebie") + "\r\n" +
                         Tr("Duplication_parameters", "SzerokoscPojedynElem") + ": " +
                         UnitText(PatternWidth, 7, 2) + " " + unit + "\r\n\r\n" +
                         Tr("Duplication_parameters", "CzyAkceptujesz");
    if (ConfirmDialog(text, MsgButton::Yes | MsgButton::Cancel) != ModalResult::Yes) {
      if (feuPrzesuniecieMdzyElem.OnFocusRequest) feuPrzesuniecieMdzyElem.OnFocusRequest();
      return false;
    }
  }
  if (rowShift < PatternHeight)
    return fail(feuPrzesMdzyWierszami, Tr("Duplication_parameters", "BlednePrzesMdzyWier") +
                                           "\r\nmin: " + UnitText(PatternHeight, 7, 2) + " " +
                                           unit);
  if (!(feuOdlMdzyEl_i_laczPionowym.Value() < shift - PatternWidth))
    return fail(feuOdlMdzyEl_i_laczPionowym, Tr("Duplication_parameters", "OdlLacznikaPionZaDuza"));
  if (!(feuOdlMdzyEl_i_laczPoziomym.Value() < rowShift - PatternHeight))
    return fail(feuOdlMdzyEl_i_laczPoziomym,
                Tr("Duplication_parameters", "OdlLacznikaPoziomZaDuza"));

  // The copies must fit in memory and in the coordinate range.
  const TDuplicationPattern pattern = Source ? PatternOf(*Source) : TDuplicationPattern{};
  if (pattern.Figures.empty()) return fail(feIloscElemWWierszu, Tr("Project_window", "zbiorPusty"));
  const double copies = columns * rows;
  if (copies * double(pattern.Figures.size()) > double(kMaxDuplicateFigures) ||
      copies * double(pattern.PointCount) > double(kMaxDuplicatePoints))
    return fail(feIloscElemWWierszu, Tr("Duplication_parameters", "projektZaDuzy"));
  return true;
}

TDuplicationLayout TfParDup::Layout() const {
  TDuplicationLayout l;
  l.Columns = Columns;
  l.Rows = Rows;
  l.SX = MmToPlotterUnits(ElementShift);
  l.SY = MmToPlotterUnits(RowShift);
  l.Step = Step;
  l.VLine = VLineDistance;
  l.HLine = HLineDistance;
  return l;
}

bool TfParDup::BuildDuplicates(TMDIChild& target) {
  if (Source == nullptr) throw Error("duplication without a source");
  BuildDuplicateFigures(PatternOf(*Source), Layout(), target);
  return FinishGeneratedProject(target);
}

void TfParDup::btnZatwierdzClick() {
  if (!ValidateParams()) return;
  // Parameters of this run; the checks above keep the counts within 32 bits.
  Columns = static_cast<std::int32_t>(std::trunc(feIloscElemWWierszu.Value()));
  Rows = static_cast<std::int32_t>(std::trunc(feIloscWierszy.Value()));
  ElementShift = feuPrzesuniecieMdzyElem.Value();
  RowShift = feuPrzesMdzyWierszami.Value();

  // The copies are built first, so that a project past the coordinate range
  // is refused before any window or file is touched.
  TMDIChild scratch;
  try {
    Step = MmToPlotterUnits(ElementShift * 10 / 100);
    HLineDistance = NonZero(MmToPlotterUnits(feuOdlMdzyEl_i_laczPoziomym.Value()));
    VLineDistance = NonZero(MmToPlotterUnits(feuOdlMdzyEl_i_laczPionowym.Value()));
    BuildDuplicateFigures(PatternOf(*Source), Layout(), scratch);
    scratch.Ustaw_PPiPK();
    CheckedSub(scratch.MaxX, scratch.MinX);
    CheckedSub(scratch.MaxY, scratch.MinY);
  } catch (const Error&) {
    if (feIloscElemWWierszu.OnFocusRequest) feIloscElemWWierszu.OnFocusRequest();
    ShowMessageBox(Tr("Duplication_parameters", "projektZaDuzy"), true);
    return;
  }

  if (NewWindow != nullptr && Windows.Free) Windows.Free(NewWindow);
  NewWindow = Windows.Create ? Windows.Create() : nullptr;
  if (NewWindow == nullptr) throw Error("no project window for the duplicate");

  try {
    SaveParams(ParamFileName);
  } catch (const IoError&) {
    // The duplicate is still made; only the offer of these values next time is lost.
    ShowMessageBox(Tr("Duplication_parameters", "bladZapisuParametrow") + ParamFileName, true);
  }
  NewWindow->Caption = ParamFileName;
  NewWindow->FileType = Source->FileType;
  NewWindow->Figures = std::move(scratch.Figures);
  FinishGeneratedProject(*NewWindow);
  if (Windows.Shown) Windows.Shown(NewWindow);
  if (NewWindow->CloseRequested && Windows.Free) {
    Windows.Free(NewWindow);
    NewWindow = nullptr;
  }
  if (Close) Close();
}

}  // namespace vm
