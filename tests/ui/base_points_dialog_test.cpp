// The base-points dialog binds the core dialog: the list read at creation,
// clicks and buttons through the form's handlers, enable states shown, and
// the list written when the dialog is destroyed.
#include "machine/ui/base_points_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm::test {
namespace {

class BasePointsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawingGlobals();
    ResetPunkty_bazowe();
    ASSERT_TRUE(dir.isValid());
    ExeDir = dir.path() + "/";
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/Velmarosta_US.xml")));
  }
  void TearDown() override {
    ResetPunkty_bazowe();
    ResetDrawingGlobals();
    InstallInterfejs(nullptr);
  }
  QTemporaryDir dir;
  ScopedMessageRecorder messages;
};

TEST_F(BasePointsDialogTest, ListClicksButtonsAndTheFileAtTheEnd) {
  ASSERT_TRUE(
      WriteAll(ExeDir + "base.txt", "X=    1.000   Y=    2.000\r\nX=    3.000   Y=    4.000\r\n"));
  std::vector<double> went;
  {
    ui::BasePointsDialog w(Punkty_bazowe());
    Punkty_bazowe().hooks.GoToPoint = [&](bool, std::uint8_t, double x, double y, double) {
      went = {x, y};
      return true;
    };
    w.show();
    EXPECT_EQ(w.windowTitle(), Tr("Base_points", "caption"));
    EXPECT_EQ(w.usun()->text(), Tr("Base_points", "usun.Caption"));
    ASSERT_EQ(w.lista()->count(), 2);
    EXPECT_TRUE(w.ustaw()->isEnabled());
    EXPECT_FALSE(w.usun()->isEnabled());

    w.lista()->setCurrentRow(0);
    emit w.lista()->itemClicked(w.lista()->item(0));
    EXPECT_TRUE(w.usun()->isEnabled());
    // Enter in the list is no Go to: only the button moves the machine.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w.lista(), &enter);
    EXPECT_TRUE(went.empty());
    EXPECT_TRUE(w.isVisible());
    w.usun()->click();
    ASSERT_EQ(w.lista()->count(), 1);
    EXPECT_EQ(w.lista()->currentRow(), 0);
    EXPECT_TRUE(w.lista()->item(0)->isSelected());

    w.ustaw()->click();
    EXPECT_EQ(went, (std::vector<double>{3, 4}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), int(ModalResult::OK));
  }
  EXPECT_EQ(ReadAll(ExeDir + "base.txt"), QByteArray("X=    3.000   Y=    4.000\r\n"));
  EXPECT_TRUE(messages.requests.isEmpty());
}

}  // namespace
}  // namespace vm::test
