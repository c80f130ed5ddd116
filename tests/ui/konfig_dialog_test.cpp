// The settings dialog and the keypad on screen: both can be shown and edit
// the store.
#include "shell/ui/konfig_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include "drawing/definicje.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/konfig_widgets.h"
#include "shell/ui/numpad_dialog.h"

namespace vm {
namespace {

class KonfigDialogUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ResetDrawingGlobals();
    ExeDir = dir_.path() + "/";
    ResetDlgkonfig();
  }
  void TearDown() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
  }
  template <typename W>
  static W* Find(QWidget* root, const QString& name) {
    return root->findChild<W*>(name);
  }
  static void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(w, &press);
    }
  }

  QTemporaryDir dir_;
  ScopedMessageRecorder boxes_;
};

TEST_F(KonfigDialogUi, DialogShowsAndEditsTheStore) {
  TDlgkonfig& k = Dlgkonfig();
  ui::TDlgkonfigDialog dialog(k);
  dialog.show();
  QApplication::processEvents();
  EXPECT_TRUE(QFile::exists(ExeDir + "work.mc"));
  EXPECT_FALSE(dialog.Pages()->isTabEnabled(2));  // serial page outside serial mode

  // Typing into an edit reaches the store.
  auto* skala = Find<ui::TFltEditWidget>(&dialog, "skala");
  ASSERT_TRUE(skala);
  skala->Field()->selectAll();
  Type(skala, "25x0");  // the letter is refused
  EXPECT_EQ(k.skala.Text(), "250");
  EXPECT_EQ(k.skala.Value(), 250);

  // The wheel steps a unit edit by its magnitude: wheel down increases.
  auto* tableX = Find<ui::TFltEditWidget>(&dialog, "Xstolika");
  ASSERT_TRUE(tableX);
  QWheelEvent wheel(QPointF(5, 5), tableX->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tableX, &wheel);
  EXPECT_EQ(k.Xstolika.Value(), 1100);
  // The arrows step like the buttons; the page keys do not step at all.
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(tableX, &up);
  EXPECT_EQ(k.Xstolika.Value(), 1200);
  for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown}) {
    QKeyEvent page(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(tableX, &page);
    EXPECT_EQ(k.Xstolika.Value(), 1200) << key;
  }
  auto* diameter = Find<ui::TFltEditWidget>(&dialog, "Srednicamaterialu");
  ASSERT_TRUE(diameter);

  // A radio click runs the enable rules; the widgets follow.
  auto* mode = Find<ui::TRadioGroupWidget>(&dialog, "Mode");
  ASSERT_TRUE(mode);
  mode->Button(3)->click();
  EXPECT_EQ(k.Mode.ItemIndex(), 3);
  EXPECT_TRUE(dialog.Pages()->isTabEnabled(2));
  mode->Button(2)->click();
  EXPECT_FALSE(diameter->isEnabled());
  auto* unit = Find<ui::TRadioGroupWidget>(&dialog, "radiounit");
  unit->Button(1)->click();
  EXPECT_EQ(diameter->Field()->text(), "19.685");
  EXPECT_EQ(Find<QLabel>(&dialog, "Labelsrednicaunit")->text(), "[in]");

  // Cancel puts everything back as it was when the dialog was shown.
  Find<QPushButton>(&dialog, "cancel")->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(k.skala.Value(), 100);
  EXPECT_EQ(k.Xstolika.Value(), 1000);
  EXPECT_EQ(k.Mode.ItemIndex(), 2);
  EXPECT_EQ(k.radiounit.ItemIndex(), 0);
  EXPECT_EQ(mode->Button(2)->isChecked(), true);
}

TEST_F(KonfigDialogUi, OkStoresTheRecordAndAutoSaves) {
  TDlgkonfig& k = Dlgkonfig();
  ui::TDlgkonfigDialog dialog(k);
  dialog.show();
  Find<ui::TCheckBoxWidget>(&dialog, "AutoSave")->click();
  EXPECT_TRUE(k.AutoSave.Checked());
  Find<QPushButton>(&dialog, "Button1")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(QFile::exists(ExeDir + "Velmarosta.gcf"));
  EXPECT_TRUE(QFile::exists(ExeDir + "Velmarosta.tcf"));
}

TEST_F(KonfigDialogUi, OkClosesAndKeepsTheValuesWhenTheFilesCannotBeWritten) {
  TDlgkonfig& k = Dlgkonfig();
  ExeDir = dir_.path() + "/no/such/folder/";
  ui::TDlgkonfigDialog dialog(k);
  dialog.show();
  k.skala.SetValue(40);
  const auto before = boxes_.requests.size();  // the snapshot could not be written
  Find<QPushButton>(&dialog, "Button1")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(boxes_.requests.size(), before + 1);
  EXPECT_EQ(boxes_.requests.back().icon, MessageIcon::Error);
  EXPECT_EQ(k.skala.Value(), 40);
}

TEST_F(KonfigDialogUi, ReadOnlyEditTakesNoTyping) {
  TFltEdit edit("e");
  edit.SetValue(5);
  edit.SetReadOnly(true);
  ui::TFltEditWidget w(edit);
  w.Field()->selectAll();
  Type(&w, "7");
  EXPECT_EQ(w.Field()->text(), "5");
  EXPECT_EQ(edit.Value(), 5);
}

TEST_F(KonfigDialogUi, KeypadOnDoubleClickEntersTheValue) {
  TDlgkonfig& k = Dlgkonfig();
  ui::TDlgkonfigDialog dialog(k);
  dialog.show();
  auto* power = Find<ui::TFltEditWidget>(&dialog, "work_power");
  ASSERT_TRUE(power);
  bool seen = false;
  QTimer::singleShot(0, [&seen] {
    auto* pad = qobject_cast<ui::TNumPadDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(pad);
    seen = true;
    for (const char* b : {"Button1", "Button2", "Buttonp", "Buttonp", "Button5"})
      pad->Button(b)->click();
    EXPECT_EQ(pad->windowTitle(), "12.5");
    pad->Button("ButtonOK")->click();
  });
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(3, 3), power->mapToGlobal(QPointF(3, 3)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(power->Field(), &dbl);
  EXPECT_TRUE(seen);
  EXPECT_EQ(k.work_power.Value(), 12.5);

  // Cancel (Escape) leaves the value alone.
  QTimer::singleShot(0, [] {
    auto* pad = qobject_cast<ui::TNumPadDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(pad);
    pad->Button("Button9")->click();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(pad, &esc);
  });
  power->ShowNumPad();
  EXPECT_EQ(k.work_power.Value(), 12.5);
  dialog.reject();
}

TEST_F(KonfigDialogUi, BigKeypadLayout) {
  ui::TNumPadDialog pad;
  pad.SetBigLayout(true);
  pad.show();
  EXPECT_EQ(pad.Button("ButtonOK")->geometry(), QRect(224, 224, 57, 57));
  EXPECT_EQ(pad.Button("Buttonp")->text(), ".");
  pad.Button("ButtonMinus")->click();
  EXPECT_EQ(pad.Text(), "-");
  pad.Button("ButtonCE")->click();
  EXPECT_EQ(pad.Text(), "");
  pad.close();
}

}  // namespace
}  // namespace vm
