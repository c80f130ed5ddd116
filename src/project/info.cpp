// Texts of the project info window (see info.h).
#include "project/info.h"

#include <cmath>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "project/okno_plt.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/utilities.h"

namespace vm {

namespace {

QString Fixed(double v, int digits) {
  return FormatFloat(v, TFloatFormat::ffFixed, 7, digits, LocaleDecimalPoint());
}

}  // namespace

TInfoInput InfoInputFrom(const TMDIChild& w) {
  const TDlgkonfig& k = Dlgkonfig();
  TInfoInput in;
  in.FileName = w.Caption;
  in.SettingsName = k.Caption();
  in.Width = w.Width;
  in.Height = w.Height;
  in.PathLength = w.PathLength;
  in.FigureCount = w.FigureCount();
  in.skala = k.skala.Value();
  in.ilosckrokow = k.ilosckrokow.Value();
  in.szybkoscObrobki = k.szybkoscObrobki.Value();
  in.Mode = k.Mode.ItemIndex();
  in.Unit = CurrentUnit;
  return in;
}

QString UnitText(std::int32_t unit, double mm) {
  return Fixed(MmToUnit(unit, mm), 2) + QStringLiteral(" ") + UnitName(unit);
}

void Tinfoform::FormCreate() {
  const tInterfejs* lang = Interfejs();
  RightToLeft = lang != nullptr && lang->RightToLeft();
  // The menu command's caption, without its shortcut mark.
  Caption = WithoutMnemonic(Tr("Main_window", "info.Caption"));
  Labelfile = Tr("Info", "Labelfile.caption");
  Labelkonf = Tr("Info", "Labelkonf.caption");
  Labelszer = Tr("Info", "Labelszer.caption");
  Labelwys = Tr("Info", "Labelwys.caption");
  Labeldlug = Tr("Info", "Labeldlug.caption");
  Labeltime = Tr("Info", "Labeltime.caption");
}

void Tinfoform::FormPaint(const TInfoInput& in) {
  fname = in.FileName;
  konfigname = in.SettingsName;
  szerokosc = UnitText(in.Unit, PlotterUnitsToMm(Round(in.skala * in.Width / 100)));
  wysokosc = UnitText(in.Unit, PlotterUnitsToMm(Round(in.skala * in.Height / 100)));

  std::int32_t length = 0;      // scaled path, plotter units
  std::int32_t timeLength = 0;  // the same as the time estimate takes it
  if (in.Mode == 0 || in.Mode == 1) {
    length = Round(in.ilosckrokow * in.PathLength * in.skala / 100);
    timeLength = Round(in.ilosckrokow * (in.skala * in.PathLength / 100));
  } else if (in.Mode == 2) {
    length = Round(in.skala * in.PathLength / 100);
    timeLength = length;
  } else {
    totlen.clear();
    total_time.clear();
    return;
  }
  const double mm = PlotterUnitsToMm(length);
  totlen = in.Unit == 0 ? Fixed(mm / 1000, 2) + QStringLiteral(" m") : UnitText(in.Unit, mm);
  const double speed = in.szybkoscObrobki;
  if (!(speed > 0) || !std::isfinite(speed)) {
    total_time.clear();
    return;
  }
  const double minutes = PlotterUnitsToMm(timeLength) / speed + 0.03 * in.FigureCount;
  total_time = Fixed(minutes, 0) + QStringLiteral(" min");
}

}  // namespace vm
