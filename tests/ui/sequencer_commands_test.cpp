// The cut sequencer bound to the main window: Start from the menu writes the
// active project's job (test mode, no machine) and shows Start from buffer
// with "CORVANTA"; the serial-cut dialog widget edits the core's grid and
// stays open on a bad angle.
#include "machine/ui/sequencer_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "machine/sequencer.h"
#include "machine/serial.h"
#include "machine/transmit.h"
#include "machine/ui/serial_cut_dialog.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"

namespace vm::ui {
namespace {

class SequencerCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetCommandLine();
    ResetSerial();
    ResetProjectHooks();
    ResetCutSequencer();
    ResetTransmisja();
    ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_US.xml")));
    ASSERT_TRUE(dir.isValid());
    ExeDir = dir.path() + "/";
  }
  void TearDown() override {
    SetSerialCutDialogHandler(nullptr);
    ResetCutSequencer();
    ResetProjectHooks();
    ResetCommandLine();
    ResetDrawingGlobals();
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
  }
  QTemporaryDir dir;
  ScopedMessageRecorder messages;
};

TEST_F(SequencerCommandsTest, StartInTestModeWritesTheJobAndShowsStartFromBuffer) {
  SetCommandLine({QStringLiteral("test"), QStringLiteral("CORVANTA")});
  InstallPlainCutting();
  const QString drawing = dir.filePath(QStringLiteral("square.plt"));
  ASSERT_TRUE(test::WriteAll(drawing, "IN;PU0,0;PD1600,0,1600,1600,0,1600,0,0;PU;"));
  TMainForm form;
  form.TranslateForm();
  InstallCutSequencer(form);
  form.OpenProjectFile(drawing, 1, false);
  ASSERT_EQ(form.Projects().size(), 1);
  EXPECT_FALSE(form.action(QStringLiteral("Startzbufora1"))->isVisible());

  form.action(QStringLiteral("Start1"))->trigger();
  EXPECT_TRUE(QFile(Ttransmisja::JobFilePath()).size() > 0);
  EXPECT_TRUE(form.action(QStringLiteral("Startzbufora1"))->isVisible());
  EXPECT_EQ(form.JobOutputMode, 32);
}

TEST_F(SequencerCommandsTest, SerialDialogStaysOpenOnABadAngleAndStoresGoodOnes) {
  TMDIChild a, b;
  a.Caption = QStringLiteral("C:\\cuts\\0.plt");
  b.Caption = QStringLiteral("C:\\cuts\\1.plt");
  TfDlgSeryjne form({&a, &b});
  form.FormCreate();
  SerialCutDialog dialog(form);
  QTableWidget* grid = dialog.grid();
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(grid->item(1, 0)->text(), "0.plt");
  EXPECT_EQ(grid->item(2, 1)->text(), "90");
  EXPECT_FALSE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);

  grid->item(1, 1)->setText(QStringLiteral("30"));
  grid->item(2, 1)->setText(QStringLiteral("400"));
  // Focus moving to the count edit turns its label bold: the typed angles stay.
  form.felloscPowtorzenSer.DoEnter();
  EXPECT_EQ(grid->item(1, 1)->text(), "30");
  dialog.confirmButton()->click();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(messages.lastText(), Tr("Serial_cut", "poprawKat") + "2");
  EXPECT_EQ(grid->currentRow(), 2);
  EXPECT_DOUBLE_EQ(a.PassAngle, 30);

  dialog.defaultsButton()->click();
  EXPECT_EQ(grid->item(1, 1)->text(), "90");
  dialog.confirmButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(b.PassAngle, 90);
}

}  // namespace
}  // namespace vm::ui
