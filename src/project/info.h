// The project info window: the active project's file, the settings file in
// use, the scaled width and height in the current length unit, the length of
// the cutting path and the estimated cutting time. The widget shows these
// texts; they are computed here every time the window paints.
#pragma once

#include <QString>
#include <cstdint>

namespace vm {

class TMDIChild;

// What the window reads from the active project and the settings.
struct TInfoInput {
  QString FileName;        // the project window's caption
  QString SettingsName;    // the settings dialog's caption
  std::int32_t Width = 0;  // plotter units
  std::int32_t Height = 0;
  double PathLength = 0;  // plotter units
  std::int32_t FigureCount = 0;
  double skala = 100;             // scale, %
  double ilosckrokow = 8;         // passes of turning and rotary cutting
  double szybkoscObrobki = 1000;  // cutting speed, mm/min
  std::int32_t Mode = 2;
  std::int32_t Unit = 0;  // length unit index: 0 mm, 1 inch, 2 foot
};

// The active project with the current settings and length unit.
TInfoInput InfoInputFrom(const TMDIChild& w);

// `mm` in the given unit, fixed with two decimals, a blank and the unit name.
QString UnitText(std::int32_t unit, double mm);

class Tinfoform {
 public:
  // Captions (the form's and the six caption labels').
  QString Caption = QStringLiteral("Info");
  QString Labelfile = QStringLiteral("Plik o nazwie :");
  QString Labelkonf = QStringLiteral("Konfiguracja :");
  QString Labelszer = QStringLiteral("Szeroko\u015B\u0107 :");
  QString Labelwys = QStringLiteral("Wysoko\u015B\u0107 :");
  QString Labeldlug = QStringLiteral("D\u0142ugo\u015Bci :");
  QString Labeltime = QStringLiteral("Przewidywany czas :");
  // Values.
  QString fname = QStringLiteral("fname");
  QString konfigname = QStringLiteral("fname");
  QString szerokosc = QStringLiteral("0");
  QString wysokosc = QStringLiteral("0");
  QString totlen = QStringLiteral("10");
  QString total_time = QStringLiteral("10");
  // The form reads right to left (the labels keep left-to-right reading).
  bool RightToLeft = false;

  // Layout direction and the translated captions.
  void FormCreate();
  // Fills the value texts. In serial cutting the length and time of one
  // project say nothing about the series: they are shown empty. Without a
  // positive cutting speed no time is given. Raises RangeError when a scaled
  // length does not fit 32 bits.
  void FormPaint(const TInfoInput& in);
};

}  // namespace vm
