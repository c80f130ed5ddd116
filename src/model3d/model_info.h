// The model info dialog: the model's source file and the file's size, its
// size along X, Y and Z and the minimum and maximum on each axis, in the
// current length unit. The dialog keeps its own copy of the model record,
// taken when it is opened. The widget shows the texts held here.
#pragma once

#include <QString>

#include "drawing/definicje.h"

namespace vm {

class TfModelInfo {
 public:
  explicit TfModelInfo(const TModel& model = {}) : Model(model) {}

  TModel Model;  // the record shown

  // ---- captions ----
  QString Caption = QStringLiteral("Model");
  QString lZrodlo = QStringLiteral("\u0179r\u00F3d\u0142o:");
  QString lSzerokoscX = QStringLiteral("Szeroko\u015B\u0107 X");
  QString lDlugoscY = QStringLiteral("D\u0142ugo\u015B\u0107 Y");
  QString lWysokoscZ = QStringLiteral("Wysoko\u015B\u0107 Z");
  // ---- values ----
  QString pZrodlo;        // the file name without its folder
  QString pZrodloHint;    // the full path
  QString lRozmiarPliku;  // the file's size ("500b", "1KB", ...)
  QString pSzerokoscX, pDlugoscY, pWysokoscZ;
  QString pXmin, pXmax, pYmin, pYmax, pZmin, pZmax;
  // ---- unit labels, " [" + unit + "]" once shown ----
  QString lSzerokoscXJm = QStringLiteral("[jm]"), lDlugoscYJm = lSzerokoscXJm,
          lWysokoscZJm = lSzerokoscXJm, lXminJm = lSzerokoscXJm, lXmaxJm = lSzerokoscXJm,
          lYminJm = lSzerokoscXJm, lYmaxJm = lSzerokoscXJm, lZminJm = lSzerokoscXJm,
          lZmaxJm = lSzerokoscXJm;
  bool RightToLeft = false;

  // Right-to-left layout when the language reads right to left.
  void TntFormCreate();
  // Translated captions, the unit labels (the settings' unit item text) and
  // the values.
  void TntFormShow();
  // The values from the held record, in the current length unit (fixed, 7
  // digits of precision, the unit's decimals, then a blank). A file that
  // cannot be opened leaves the size empty and is reported in an error box;
  // the other values are still shown.
  void WypelnijPola();
};

}  // namespace vm
