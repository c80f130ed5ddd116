// Texts and values of the model info dialog.
#include "model3d/model_info.h"

#include <QFileInfo>

#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "shell/utilities.h"

namespace vm {

void TfModelInfo::TntFormCreate() {
  RightToLeft = Interfejs() != nullptr && Interfejs()->RightToLeft();
}

void TfModelInfo::TntFormShow() {
  // The dialog has no unit-aware edits: its values are formatted below.
  const TTntRadioGroup& unit = Dlgkonfig().radiounit;
  const int item = unit.ItemIndex();
  const QString u = item >= 0 && item < unit.Items().size() ? unit.Items()[item] : QString();

  Caption = Tr("ModelInfo", "caption");
  lZrodlo = Tr("ModelInfo", "lZrodlo.Caption");
  lSzerokoscX = Tr("ModelInfo", "lSzerokoscX.Caption");
  lDlugoscY = Tr("ModelInfo", "lDlugoscY.Caption");
  lWysokoscZ = Tr("ModelInfo", "lWysokoscZ.Caption");

  const QString jm = " [" + u + "]";
  for (QString* l : {&lSzerokoscXJm, &lDlugoscYJm, &lWysokoscZJm, &lXminJm, &lXmaxJm, &lYminJm,
                     &lYmaxJm, &lZminJm, &lZmaxJm}) {
    *l = jm;
  }
  WypelnijPola();
}

void TfModelInfo::WypelnijPola() {
  const int k = CurrentUnit;
  const int digits = DecimalsForUnits(k);
  const QChar dp = LocaleDecimalPoint();
  auto text = [&](double mm) {
    return FormatFloat(MmToUnit(k, mm), TFloatFormat::ffFixed, 7, digits, dp) + ' ';
  };
  const TModel& m = Model;
  pZrodlo = QFileInfo(m.FileName).fileName();
  pZrodloHint = m.FileName;
  pSzerokoscX = text(m.MaxX - m.MinX);
  pDlugoscY = text(m.MaxY - m.MinY);
  pWysokoscZ = text(m.MaxZ - m.MinZ);
  pXmin = text(m.MinX);
  pXmax = text(m.MaxX);
  pYmin = text(m.MinY);
  pYmax = text(m.MaxY);
  pZmin = text(m.MinZ);
  pZmax = text(m.MaxZ);
  // The size comes last so that a file gone since it was read still leaves
  // the model's values on show.
  try {
    lRozmiarPliku = QString::fromLatin1(FileSizeText(m.FileName));
  } catch (const IoError&) {
    lRozmiarPliku.clear();
    ShowMessageBox(Tr("Universal", "zbioruNieMoznaOtworzyc") + m.FileName, true);
  }
}

}  // namespace vm
