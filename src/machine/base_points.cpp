#include "machine/base_points.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/program_info.h"

namespace vm {

namespace {

// The system's decimal separator when the file can hold it and read it back;
// "." otherwise.
QChar PointSeparator() {
  const QChar c = LocaleDecimalPoint();
  return c == QLatin1Char(',') ? c : QLatin1Char('.');
}

QString FormatValue(double v) {
  QString text = QString::number(v, 'f', 3);
  if (PointSeparator() != QLatin1Char('.')) text.replace(QLatin1Char('.'), PointSeparator());
  return text.rightJustified(9, QLatin1Char(' '));
}

// A value of a point line: the text between its label and `end` (the end of
// the line when -1), blanks around it allowed. Anything else in it ("1 000,0",
// "12mm") makes the line no point, rather than a point read from a prefix.
std::optional<double> ValueBetween(const QString& line, qsizetype begin, qsizetype end) {
  const QStringView text =
      QStringView(line).mid(begin, end < 0 ? line.size() - begin : end - begin);
  return ParseFloatText(text.trimmed());
}

}  // namespace

QString FormatBasePointLine(double x, double y) {
  return QStringLiteral("X=") + FormatValue(x) + QStringLiteral("   Y=") + FormatValue(y);
}

std::optional<std::pair<double, double>> ParseBasePointLine(const QString& line) {
  // "X=" value "Y=" value, and nothing before "X=" but blanks.
  const qsizetype xAt = line.indexOf(QLatin1StringView("X="));
  if (xAt < 0 || !QStringView(line).left(xAt).trimmed().isEmpty()) return std::nullopt;
  const qsizetype yAt = line.indexOf(QLatin1StringView("Y="), xAt + 2);
  if (yAt < 0) return std::nullopt;
  const auto x = ValueBetween(line, xAt + 2, yAt);
  const auto y = ValueBetween(line, yAt + 2, -1);
  if (!x || !y) return std::nullopt;
  return std::make_pair(*x, *y);
}

QStringList ReadBasePointsFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    throw IoError("cannot open " + path.toStdString() + ": " + f.errorString().toStdString());
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    throw IoError("cannot read " + path.toStdString() + ": " + f.errorString().toStdString());
  }
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines << QString::fromLatin1(bytes.mid(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines << QString::fromLatin1(bytes.mid(start));
  return lines;
}

void WriteBasePointsFile(const QString& path, const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) bytes += line.toLatin1() + "\r\n";
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    throw IoError("cannot create " + path.toStdString() + ": " + f.errorString().toStdString());
  }
  if (f.write(bytes) != bytes.size() || !f.commit()) {
    throw IoError("cannot write " + path.toStdString() + ": " + f.errorString().toStdString());
  }
}

void TListBoxModel::Clear() {
  Items.clear();
  Selected.clear();
  ItemIndex = -1;
}

void TListBoxModel::Add(const QString& item) {
  Items << item;
  Selected.push_back(false);
}

void TListBoxModel::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Items.removeAt(index);
  Selected.erase(Selected.begin() + index);
  if (ItemIndex >= Count()) ItemIndex = Count() - 1;
}

bool TListBoxModel::IsSelected(int index) const {
  return index >= 0 && index < Count() && Selected[static_cast<std::size_t>(index)];
}

void TListBoxModel::SetSelected(int index, bool selected) {
  if (index >= 0 && index < Count()) Selected[static_cast<std::size_t>(index)] = selected;
}

TPunkty_bazowe::TPunkty_bazowe() { lista.Add(QString::fromLatin1(DefaultBasePointLine)); }

QString TPunkty_bazowe::FilePath() {
  return ProgramFolder() + QString::fromLatin1(BasePointsFileName);
}

void TPunkty_bazowe::Notify() {
  if (OnChange) OnChange();
}

void TPunkty_bazowe::FormCreate() {
  const QString path = FilePath();
  if (QFileInfo::exists(path)) {
    try {
      const QStringList lines = ReadBasePointsFile(path);
      lista.Clear();
      for (const QString& line : lines) lista.Add(line);
    } catch (const IoError&) {
      // The stored points are not lost: the file stays as it is.
      keepFile_ = true;
      ShowMessageBox(Tr("Base_points", "bladOdczytu") + path, true);
    }
  }
  Notify();
}

void TPunkty_bazowe::FormActivate() {
  Caption = Tr("Base_points", "caption");
  AnulujCaption = Tr("Base_points", "anuluj.Caption");
  UstawCaption = Tr("Base_points", "ustaw.Caption");
  DodajCaption = Tr("Base_points", "Dodaj.Caption");
  UsunCaption = Tr("Base_points", "usun.Caption");
  UstawEnabled = lista.Count() > 0;
  Notify();
}

bool TPunkty_bazowe::FormDestroy() { return Save(); }

bool TPunkty_bazowe::Save() {
  if (keepFile_) return false;
  const QString path = FilePath();
  try {
    WriteBasePointsFile(path, lista.Items);
    return true;
  } catch (const IoError&) {
    ShowMessageBox(Tr("Base_points", "bladZapisu") + path, true);
    return false;
  }
}

void TPunkty_bazowe::listaClick() {
  UsunEnabled = true;
  UstawEnabled = true;
  Notify();
}

void TPunkty_bazowe::listaDblClick() {
  if (lista.Count() == 0) {
    if (hooks.Close) hooks.Close(ModalResult::OK);
    return;
  }
  ustawClick();
}

void TPunkty_bazowe::DodajClick() {
  const double x = MmToUnit(CurrentUnit, PlotState.X / 100.0);
  const double y = MmToUnit(CurrentUnit, PlotState.Y / 100.0);
  if (lista.Count() > 0) lista.SetSelected(lista.ItemIndex, false);
  lista.Add(FormatBasePointLine(x, y));
  lista.ItemIndex = lista.Count() - 1;
  lista.SetSelected(lista.ItemIndex, true);
  Save();
  Notify();
}

void TPunkty_bazowe::usunClick() {
  const int index = lista.ItemIndex;
  if (index < 0 || index >= lista.Count()) return;
  lista.Delete(index);
  if (lista.Count() == 0) {
    lista.ItemIndex = -1;
    UsunEnabled = false;
    UstawEnabled = false;
  } else {
    // The item that took the deleted one's place, or the new last one.
    lista.ItemIndex = std::min(index, lista.Count() - 1);
    lista.SetSelected(lista.ItemIndex, true);
  }
  Save();
  Notify();
}

bool TPunkty_bazowe::PrzepiszClick() {
  if (lista.ItemIndex < 0 || lista.ItemIndex >= lista.Count()) return false;
  const auto point = ParseBasePointLine(lista.Items[lista.ItemIndex]);
  if (!point) return false;
  PointX = UnitToMm(CurrentUnit, point->first);
  PointY = UnitToMm(CurrentUnit, point->second);
  return true;
}

bool TPunkty_bazowe::GoToCurrent() {
  if (!PrzepiszClick()) {
    ShowMessageBox(Tr("Base_points", "zlyPunkt") + lista.Items[lista.ItemIndex], true);
    return false;
  }
  if (hooks.GoToPoint) hooks.GoToPoint(false, 0, PointX, PointY, PlotState.Z);
  return true;
}

void TPunkty_bazowe::ustawClick() {
  if (lista.Count() == 0) return;
  if (lista.ItemIndex >= 0 && lista.ItemIndex < lista.Count() && !GoToCurrent()) return;
  if (hooks.Close) hooks.Close(ModalResult::OK);
}

namespace {
std::unique_ptr<TPunkty_bazowe> g_punkty;
}

TPunkty_bazowe& Punkty_bazowe() {
  if (!g_punkty) g_punkty = std::make_unique<TPunkty_bazowe>();
  return *g_punkty;
}

void ResetPunkty_bazowe() { g_punkty.reset(); }

}  // namespace vm
