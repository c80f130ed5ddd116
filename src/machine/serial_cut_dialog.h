// The serial-cut parameters dialog's logic (TfDlgSeryjne): before a serial cut
// starts it sets the turntable angle each project window contributes, how many
// times the whole series is repeated lower down, and the shift per repetition.
//
// The grid holds one header row and one row per project window (file name,
// angle text). Confirming checks every angle, stores it in its project window,
// sets SerialPassesLeft and SerialPassStep, and accepts only repetitions that
// keep the lowest table position above its minimum. The dialog widget
// (machine/ui/serial_cut_dialog.h) shows the texts and edits held here.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "shell/fltedit.h"
#include "shell/konfig_controls.h"
#include "shell/messages.h"

namespace vm {

class TMDIChild;

// Lowest table position a series may reach (mm), and the one of the "Q 48"
// machine, recognised by the first four characters of its model text.
inline constexpr double kSerialMinTableY = 5;
inline constexpr double kSerialMinTableYQ48 = 239;

// The minimum table position for the model text of the connected machine.
double SerialMinimumTableY(const QByteArray& model);

// The file-name part of a window caption: the text after its last "\", "/"
// or ":".
QString CaptionFileName(const QString& caption);

class TfDlgSeryjne {
 public:
  using Row = std::array<QString, 2>;  // file name, angle

  // The project windows in window order; their angles are written on OK.
  explicit TfDlgSeryjne(std::vector<TMDIChild*> projects);
  TfDlgSeryjne(const TfDlgSeryjne&) = delete;
  TfDlgSeryjne& operator=(const TfDlgSeryjne&) = delete;

  // --- handlers ---
  // Captions and the grid: the header row, then one row per project window
  // with the default angle 180 / number of windows.
  void FormCreate();
  // The edits take the current length unit.
  void TntFormActivate();
  // Every data row gets the default angle again.
  void btnParDomyslneClick();
  // Checks and stores the angles and the repetitions. OK when the dialog
  // ends; None when it stays open (the reason has been shown).
  ModalResult btnZatwierdzClick();
  // Focus enters or leaves the count (true) or the shift edit.
  void felloscPowtorzenSerEnter(bool countEdit);
  void felloscPowtorzenSerExit(bool countEdit);
  void feuY_PrzesuniecieChange() {}
  // Enter in the grid: while a cell is edited on a row that is not the last,
  // the next row becomes current. Returns the current row; the key is consumed.
  int sgKatyObrotuKeyDown(bool editing, int currentRow);
  // Selects the angle cell of `row`, focuses the grid and shows `text`.
  void ShowCellError(int row, const QString& text);

  // --- what the dialog shows ---
  QString Caption;
  QString btnAnulujCaption, btnZatwierdzCaption, btnParDomyslneCaption;
  TLabel lIloscPowtorzenSer{QStringLiteral("lIloscPowtorzenSer")};
  TLabel lIloscPowtorzenSerRazy{QStringLiteral("lIloscPowtorzenSerRazy")};
  TLabel lPrzesuniecie{QStringLiteral("lPrzesuniecie")};
  TLabel lPrzesuniecieJm{QStringLiteral("lPrzesuniecieJm")};
  bool CountLabelBold = false;  // lIloscPowtorzenSer
  bool ShiftLabelBold = false;  // lPrzesuniecie
  TFltEdit felloscPowtorzenSer{QStringLiteral("felloscPowtorzenSer")};
  TFltEditU feuY_Przesuniecie{QStringLiteral("feuY_Przesuniecie")};
  // sgKatyObrotu: row 0 is the fixed header.
  std::vector<Row> Cells;
  int SelectedRow = 1;
  bool RightToLeft = false;

  // The widget: select and focus a grid cell or the count edit, repaint.
  struct Hooks {
    std::function<void(int row)> FocusCell;
    std::function<void()> FocusCount;
    std::function<void()> Changed;
  } hooks;

 private:
  QString DefaultAngle() const;
  std::vector<TMDIChild*> projects_;
};

// How the program shows the dialog modally (creates it, shows it, frees it);
// returns the previous handler. Without one the dialog ends with Cancel.
using SerialCutDialogHandler = std::function<ModalResult(TfDlgSeryjne&)>;
SerialCutDialogHandler SetSerialCutDialogHandler(SerialCutDialogHandler handler);

// Creates the dialog for `projects`, shows it modally and returns its result.
ModalResult ShowSerialCutDialog(std::vector<TMDIChild*> projects);

}  // namespace vm
