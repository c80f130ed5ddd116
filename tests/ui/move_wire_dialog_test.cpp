// The move-wire dialog binds the core dialog: texts and unit labels, and
// Enter or Escape in an edit ending it through the form's key handler.
#include "machine/ui/move_wire_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "drawing/units.h"
#include "machine/link_fixture.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/konfig_widgets.h"

namespace vm::test {
namespace {

class MoveWireDialogTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ResetPrzesun();
    Dlgkonfig().Pauza_w_kacie.SetValue(0);
    Dlgkonfig().CzasRozgrzewania.SetValue(0);
  }
  void TearDown() override {
    ResetPrzesun();
    LinkTest::TearDown();
  }
  static void Key(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
  }
  int MoveCount() {
    int n = 0;
    for (const QByteArray& c : Commands()) n += c[0] == 'A';
    return n;
  }
};

TEST_F(MoveWireDialogTest, EnterInAnEditExecutesAndEscapeCancels) {
  CurrentUnit = 1;
  ui::MoveWireDialog w(przesun());
  w.show();
  EXPECT_EQ(w.windowTitle(), Tr("Move_wire", "caption"));
  EXPECT_EQ(w.wykonaj()->text(), Tr("Move_wire", "wykonaj.caption"));
  EXPECT_EQ(w.przesun()->Button(1)->text(), Tr("Move_wire", "przesun.Item1"));
  EXPECT_TRUE(w.przesun()->Button(1)->isChecked());
  EXPECT_EQ(w.label4()->text(), "[in]");
  EXPECT_EQ(w.label5()->text(), "[in]");

  w.deltaY()->Field()->selectAll();
  Key(w.deltaY(), Qt::Key_2, "2");
  EXPECT_EQ(przesun().delta_y.Value(), 2);
  Key(w.deltaY(), Qt::Key_Escape);
  EXPECT_EQ(w.result(), int(ModalResult::Cancel));
  EXPECT_EQ(MoveCount(), 0);

  w.show();
  Key(w.deltaY(), Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), int(ModalResult::OK));
  ASSERT_EQ(MoveCount(), 1);
  // 2 inches up: |dY| = 5080 hundredths of a mm in bytes 8..10 of the move.
  QByteArray move;
  for (const QByteArray& c : Commands())
    if (c[0] == 'A') move = c;
  EXPECT_EQ(move.mid(8, 3), QByteArray::fromHex("d81300"));
}

TEST_F(MoveWireDialogTest, ServiceButtonsAndCancelSpeakTheOperatorsLanguage) {
  ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/Velmarosta_PL.xml")));
  ui::MoveWireDialog polish(przesun());
  const struct {
    const char* button;
    const char* key;
  } captions[] = {{"cancel", "cancel.caption"},
                  {"test", "test.caption"},
                  {"TestGrzalki", "TestGrzalki.caption"}};
  for (const auto& c : captions) {
    EXPECT_NE(Tr("Move_wire", c.key), QStringLiteral("error")) << c.key;
    EXPECT_EQ(polish.findChild<QPushButton*>(QString::fromLatin1(c.button))->text(),
              Tr("Move_wire", c.key));
  }
  EXPECT_EQ(polish.findChild<QPushButton*>(QStringLiteral("cancel"))->text(),
            QStringLiteral("Anuluj"));
}

}  // namespace
}  // namespace vm::test
