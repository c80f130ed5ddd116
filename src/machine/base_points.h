// The base-points dialog's logic (TPunkty_bazowe): a list of stored wire
// positions, kept in "base.txt" beside the program, to which the operator can
// add the current position, from which points can be deleted, and to one of
// which the machine can be sent.
//
// A point line reads "X=", the X value, "   Y=", the Y value; each value is
// the coordinate in the length unit current when the point was added, with 3
// decimals, padded on the left with blanks to at least 9 characters. The file
// holds one line per point, each ended by CR LF, 8-bit text. Lines are kept
// as they stand: one that is no point is refused only when it is used. The
// file is rewritten after every change of the list, so that no point lives
// only in memory.
//
// The dialog widget (machine/ui/base_points_dialog.h) shows the list and the
// enable states held here and forwards its events.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "shell/messages.h"

namespace vm {

inline constexpr const char* BasePointsFileName = "base.txt";
// The form's one point, shown while there is no file.
inline constexpr const char* DefaultBasePointLine = "X=    1,000   Y=    1,000";

// The point line of (x, y), given in the unit the line is to be read in.
QString FormatBasePointLine(double x, double y);
// The two values of a point line as written (not converted), or nullopt when
// either is missing or its text is not exactly one finite number (blanks
// around it allowed). "." and "," both read as the decimal separator.
std::optional<std::pair<double, double>> ParseBasePointLine(const QString& line);

// The lines of a points file (8-bit text; CR LF, LF or CR end a line). Throws
// IoError when the file cannot be read.
QStringList ReadBasePointsFile(const QString& path);
// Writes the lines, each ended by CR LF, replacing the file only once all of
// it is written. Throws IoError on failure; the old file is then kept.
void WriteBasePointsFile(const QString& path, const QStringList& lines);

// A list box with several items selectable and one current item.
struct TListBoxModel {
  QStringList Items;
  int ItemIndex = -1;          // the current item; -1 none
  std::vector<bool> Selected;  // one per item

  int Count() const { return static_cast<int>(Items.size()); }
  void Clear();
  void Add(const QString& item);
  void Delete(int index);
  bool IsSelected(int index) const;
  void SetSelected(int index, bool selected);
};

class TPunkty_bazowe {
 public:
  struct Hooks {
    // Closes the dialog with the given result.
    std::function<void(ModalResult)> Close;
    // The absolute move of the manual control window (Tster::gotopoint):
    // wait, speed slot, X and Y in mm, rotary position in steps.
    std::function<bool(bool, std::uint8_t, double, double, double)> GoToPoint;
  };

  TPunkty_bazowe();
  TPunkty_bazowe(const TPunkty_bazowe&) = delete;
  TPunkty_bazowe& operator=(const TPunkty_bazowe&) = delete;

  Hooks hooks;
  // Runs whenever the list or an enable state changed: the widget refreshes.
  std::function<void()> OnChange;

  // --- what the dialog shows ---
  TListBoxModel lista;
  bool UstawEnabled = true;
  bool UsunEnabled = false;
  QString Caption, AnulujCaption, UstawCaption, DodajCaption, UsunCaption;

  // The point parsed last, in mm.
  double PointX = 0;
  double PointY = 0;

  // --- handlers ---
  // Fills the list from "base.txt" when it exists. A file that cannot be read
  // is reported and is then not replaced at the end.
  void FormCreate();
  // Texts; Go to is enabled exactly when the list has items.
  void FormActivate();
  // Writes the list to "base.txt" once more at the end.
  bool FormDestroy();
  // Replaces "base.txt" by the list; a failure is reported and keeps the old
  // file. False when it was not written (also when the file could not be read
  // at the start and is left alone).
  bool Save();
  void listaClick();
  void listaDblClick();
  // Appends the last known machine position and makes it the current item;
  // the enable states stay as they are (a click on the list enables both).
  // The file is written at once.
  void DodajClick();
  // Deletes the current item and writes the file.
  void usunClick();
  // Sends the machine to the current point and closes with OK; with no
  // current item it closes without a move, with an empty list it stays open,
  // and a line that is no point is reported and keeps the dialog open.
  void ustawClick();
  // Parses the current line into PointX, PointY (mm, from the current unit).
  // False, with nothing changed, when there is no current item or the line is
  // no point.
  bool PrzepiszClick();

  // The full name of "base.txt".
  static QString FilePath();

 private:
  // The move of ustawClick; false when the line was refused.
  bool GoToCurrent();
  void Notify();

  bool keepFile_ = false;  // the file could not be read: it is left alone
};

// The one base-points dialog of the program.
TPunkty_bazowe& Punkty_bazowe();
// A fresh dialog (tests).
void ResetPunkty_bazowe();

}  // namespace vm
