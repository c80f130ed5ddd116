// The serial-cut parameters dialog: default angles, the angle checks row by
// row (earlier rows stay stored), and the lowest table position a series of
// repetitions may reach, also for the "Q 48" machine.
#include <memory>

#include "drawing/definicje.h"
#include "machine/link_fixture.h"
#include "machine/serial_cut_dialog.h"
#include "project/okno_plt.h"

namespace vm::test {
namespace {

class SerialDialogTest : public LinkTest {
 protected:
  // `n` project windows with file captions.
  TfDlgSeryjne& Make(int n) {
    for (int i = 0; i < n; ++i) {
      windows.push_back(std::make_unique<TMDIChild>());
      windows.back()->Caption = QStringLiteral("C:\\serial\\%1.plt").arg(i);
    }
    std::vector<TMDIChild*> list;
    for (auto& w : windows) list.push_back(w.get());
    dialog = std::make_unique<TfDlgSeryjne>(list);
    dialog->FormCreate();
    dialog->hooks.FocusCell = [this](int row) { focusedRows.push_back(row); };
    dialog->hooks.FocusCount = [this] { ++countFocused; };
    return *dialog;
  }

  std::vector<std::unique_ptr<TMDIChild>> windows;
  std::unique_ptr<TfDlgSeryjne> dialog;
  std::vector<int> focusedRows;
  int countFocused = 0;
};

TEST_F(SerialDialogTest, GridHoldsOneRowPerWindowWithTheDefaultAngle) {
  TfDlgSeryjne& d = Make(3);
  ASSERT_EQ(d.Cells.size(), 4u);
  EXPECT_EQ(d.Cells[0][0], Tr("Serial_cut", "plik"));
  EXPECT_EQ(d.Cells[0][1], Tr("Serial_cut", "kat"));
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(d.Cells[i][0], QStringLiteral("%1.plt").arg(i - 1));
    EXPECT_EQ(d.Cells[i][1], "60");
  }
  d.Cells[2][1] = "12";
  d.btnParDomyslneClick();
  EXPECT_EQ(d.Cells[2][1], "60");
  EXPECT_EQ(d.lPrzesuniecieJm.Caption(), "[mm]");
  EXPECT_EQ(CaptionFileName("D:part:7.plt"), "7.plt");
}

TEST_F(SerialDialogTest, AnglesAreCheckedRowByRowAndEarlierRowsStayStored) {
  struct Case {
    QString angle;
    bool accepted;
  };
  for (const Case& c : {Case{"360", true}, Case{"-360", true}, Case{"12,5", true},
                        Case{"360.5", false}, Case{"abc", false}, Case{"", false}}) {
    SCOPED_TRACE(c.angle.toStdString());
    windows.clear();
    messages.requests.clear();
    focusedRows.clear();
    TfDlgSeryjne& d = Make(2);
    d.Cells[1][1] = "45";
    d.Cells[2][1] = c.angle;
    const ModalResult r = d.btnZatwierdzClick();
    EXPECT_DOUBLE_EQ(windows[0]->PassAngle, 45);
    if (c.accepted) {
      EXPECT_EQ(r, ModalResult::OK);
      EXPECT_TRUE(messages.requests.isEmpty());
    } else {
      EXPECT_EQ(r, ModalResult::None);
      EXPECT_EQ(messages.lastText(), Tr("Serial_cut", "poprawKat") + "2");
      EXPECT_EQ(focusedRows, std::vector<int>{2});
      EXPECT_EQ(d.SelectedRow, 2);
      EXPECT_DOUBLE_EQ(windows[1]->PassAngle, 0);
    }
  }
}

TEST_F(SerialDialogTest, RepetitionsMustKeepTheTableAboveItsLowestPosition) {
  Dlgkonfig().Ystolika.SetValue(100);
  struct Case {
    QByteArray model;
    int repetitions;
    bool accepted;
  };
  const Case cases[] = {
      {"R584    ", 19, true},   // 100 - 95 = 5 mm
      {"R584    ", 20, false},  // 0 mm
      {"Q 48    ", 1, false},   // 95 mm: below the 239 mm of this machine
      {"Q5      ", 19, true},   // other Q models: 5 mm
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.repetitions);
    windows.clear();
    messages.requests.clear();
    countFocused = 0;
    PlotState.Model = c.model;
    TfDlgSeryjne& d = Make(1);
    d.felloscPowtorzenSer.SetValue(c.repetitions);
    d.feuY_Przesuniecie.SetValue(5);
    EXPECT_EQ(d.btnZatwierdzClick(), c.accepted ? ModalResult::OK : ModalResult::None);
    EXPECT_EQ(SerialPassesLeft, c.repetitions);
    EXPECT_DOUBLE_EQ(SerialPassStep, 5);
    EXPECT_EQ(countFocused, c.accepted ? 0 : 1);
    if (!c.accepted) {
      EXPECT_EQ(messages.lastText(), Tr("Serial_cut", "poprawIloscPowtorzen"));
    }
  }
}

TEST_F(SerialDialogTest, EnterMovesToTheNextRowOnlyWhileEditing) {
  TfDlgSeryjne& d = Make(2);
  EXPECT_EQ(d.sgKatyObrotuKeyDown(true, 1), 2);
  EXPECT_EQ(d.sgKatyObrotuKeyDown(true, 2), 2);
  EXPECT_EQ(d.sgKatyObrotuKeyDown(false, 1), 1);
}

}  // namespace
}  // namespace vm::test
