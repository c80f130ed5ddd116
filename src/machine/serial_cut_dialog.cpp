#include "machine/serial_cut_dialog.h"

#include <utility>

#include "drawing/definicje.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "machine/ploter.h"
#include "project/okno_plt.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/utilities.h"

namespace vm {

double SerialMinimumTableY(const QByteArray& model) {
  return model.startsWith("Q 48") ? kSerialMinTableYQ48 : kSerialMinTableY;
}

QString CaptionFileName(const QString& caption) {
  const qsizetype cut =
      std::max({caption.lastIndexOf('\\'), caption.lastIndexOf('/'), caption.lastIndexOf(':')});
  return caption.mid(cut + 1);
}

TfDlgSeryjne::TfDlgSeryjne(std::vector<TMDIChild*> projects) : projects_(std::move(projects)) {
  felloscPowtorzenSer.SetIncrement(1);
  felloscPowtorzenSer.SetMaxValue(999999);
  felloscPowtorzenSer.SetffFormat(TFloatFormat::ffGeneral);
  felloscPowtorzenSer.SetPrecision(0);
  felloscPowtorzenSer.SetDigit(0);
  felloscPowtorzenSer.SetValue(0);
  feuY_Przesuniecie.SetIncrement(1);
  feuY_Przesuniecie.SetMaxValue(9999999);
  feuY_Przesuniecie.SetffFormat(TFloatFormat::ffFixed);
  feuY_Przesuniecie.SetDigit(2);
  feuY_Przesuniecie.SetValue(0);
}

QString TfDlgSeryjne::DefaultAngle() const {
  const double n = projects_.empty() ? 1.0 : static_cast<double>(projects_.size());
  return FormatGeneral(180.0 / n, LocaleDecimalPoint());
}

void TfDlgSeryjne::FormCreate() {
  RightToLeft = Interfejs() != nullptr && Interfejs()->RightToLeft();
  Caption = Tr("Serial_cut", "fDlgSeryjne.caption");
  btnAnulujCaption = Tr("Duplication_parameters", "btnAnuluj.Caption");
  btnZatwierdzCaption = Tr("Duplication_parameters", "btnZatwierdz.Caption");
  btnParDomyslneCaption = Tr("Duplication_parameters", "btnParDomyslne.Caption");
  lIloscPowtorzenSer.SetCaption(Tr("Serial_cut", "lIloscPowtorzenSer.caption"));
  lIloscPowtorzenSerRazy.SetCaption(Tr("Serial_cut", "lIloscPowtorzenSerRazy.caption"));
  lPrzesuniecie.SetCaption(Tr("Serial_cut", "lPrzesuniecie.caption"));
  lPrzesuniecieJm.SetCaption(UnitLabel(KnownUnit(CurrentUnit)));

  Cells.clear();
  Cells.push_back({Tr("Serial_cut", "plik"), Tr("Serial_cut", "kat")});
  for (const TMDIChild* w : projects_)
    Cells.push_back({CaptionFileName(w->Caption), DefaultAngle()});
  SelectedRow = 1;
  if (hooks.Changed) hooks.Changed();
}

void TfDlgSeryjne::TntFormActivate() { ApplyUnitsToForm({&feuY_Przesuniecie}); }

void TfDlgSeryjne::btnParDomyslneClick() {
  for (std::size_t i = 1; i < Cells.size(); ++i) Cells[i][1] = DefaultAngle();
  if (hooks.Changed) hooks.Changed();
}

void TfDlgSeryjne::ShowCellError(int row, const QString& text) {
  SelectedRow = row;
  if (hooks.FocusCell) hooks.FocusCell(row);
  ShowMessageBox(text, true);
}

ModalResult TfDlgSeryjne::btnZatwierdzClick() {
  for (std::size_t i = 1; i < Cells.size(); ++i) {
    const std::optional<double> angle = ParseFloatText(Cells[i][1]);
    if (!angle || *angle < -360 || *angle > 360) {
      ShowCellError(static_cast<int>(i), Tr("Serial_cut", "poprawKat") + QString::number(i));
      return ModalResult::None;
    }
    // Angles accepted before an error stay written.
    if (i - 1 < projects_.size()) projects_[i - 1]->PassAngle = *angle;
  }
  SerialPassesLeft = Round(felloscPowtorzenSer.Value());
  SerialPassStep = feuY_Przesuniecie.Value();
  ReadStatus();
  const double lowest = Dlgkonfig().Ystolika.Value() - SerialPassesLeft * SerialPassStep;
  if (lowest >= SerialMinimumTableY(PlotState.Model) - 1e-9) return ModalResult::OK;
  ShowMessageBox(Tr("Serial_cut", "poprawIloscPowtorzen"), true);
  if (hooks.FocusCount) hooks.FocusCount();
  return ModalResult::None;
}

void TfDlgSeryjne::felloscPowtorzenSerEnter(bool countEdit) {
  (countEdit ? CountLabelBold : ShiftLabelBold) = true;
  if (hooks.Changed) hooks.Changed();
}

void TfDlgSeryjne::felloscPowtorzenSerExit(bool countEdit) {
  (countEdit ? CountLabelBold : ShiftLabelBold) = false;
  if (hooks.Changed) hooks.Changed();
}

int TfDlgSeryjne::sgKatyObrotuKeyDown(bool editing, int currentRow) {
  if (editing && currentRow < static_cast<int>(Cells.size()) - 1) ++currentRow;
  SelectedRow = currentRow;
  return currentRow;
}

namespace {
SerialCutDialogHandler& Handler() {
  static SerialCutDialogHandler handler;
  return handler;
}
}  // namespace

SerialCutDialogHandler SetSerialCutDialogHandler(SerialCutDialogHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

ModalResult ShowSerialCutDialog(std::vector<TMDIChild*> projects) {
  TfDlgSeryjne dialog(std::move(projects));
  dialog.FormCreate();
  if (!Handler()) return ModalResult::Cancel;
  return Handler()(dialog);
}

}  // namespace vm
