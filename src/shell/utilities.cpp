#include "shell/utilities.h"

#include <QFile>
#include <algorithm>
#include <numbers>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "shell/fltedit.h"
#include "shell/konfig.h"

namespace vm {

QByteArray FileSizeText(const QString& fileName) {
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) {
    throw IoError("cannot open " + fileName.toStdString() + ": " + f.errorString().toStdString());
  }
  const qint64 s = f.size();
  f.close();
  if (s < 1024) return QByteArray::number(s) + "b";
  if (s < 1048576) return QByteArray::number(Round64(static_cast<double>(s) / 1024.0)) + "KB";
  return QByteArray::number(Round64(static_cast<double>(s) / 1048576.0)) + "MB";
}

unsigned char DecimalsForUnits(int unitIndex) {
  switch (unitIndex) {
    case 0:
      return 2;  // mm
    case 1:
      return 2;  // inch
    case 2:
      return 3;  // foot
    default:
      return 1;
  }
}

unsigned char DecimalsForUnits() { return DecimalsForUnits(Dlgkonfig().radiounit.ItemIndex()); }

void ApplyUnitsToForm(const std::vector<TControl*>& components) {
  for (TControl* c : components) {
    if (c == nullptr ||
        c->ClassName().compare(QLatin1String("TFltEditU"), Qt::CaseInsensitive) != 0) {
      continue;
    }
    // A control that names itself TFltEditU is one; the cast guards against a
    // foreign class that merely shares the name.
    if (auto* edit = dynamic_cast<TFltEditU*>(c)) SetEditUnit(*edit, CurrentUnit);
  }
}

double DegToRad(double degrees) { return degrees * std::numbers::pi / 180.0; }

void WideToFixedArray(const QString& text, char16_t* array, std::size_t n) {
  std::fill_n(array, n, u'\0');
  const std::size_t count = std::min(n, static_cast<std::size_t>(text.size()));
  std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), count, array);
}

QString WithoutMnemonic(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    // "&&" stands for one "&"; a single "&" only marks the next letter.
    if (caption[i] == QLatin1Char('&') && ++i >= caption.size()) break;
    out += caption[i];
  }
  return out;
}

}  // namespace vm
