// The manual control window widget against the controller emulator: keys and
// jog buttons reach the logic (a held key's repeats do not stop the jog), the
// bars follow the logic, and the window (Close button or Escape) stays open
// while a turntable slows.
#include "machine/ui/manual_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>

#include "machine/manual_fixture.h"
#include "machine/virtual_keys.h"
#include "shell/interfejs.h"

namespace vm::test {
namespace {

class ManualWindowTest : public ManualTest {
 protected:
  void SetUp() override {
    ManualTest::SetUp();
    ClosePort();  // the window's creation opens it
    window = std::make_unique<ui::ManualWindow>(ster());
  }
  void TearDown() override {
    window.reset();
    ManualTest::TearDown();
  }

  void Key(QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(window.get(), &e);
  }
  void Mouse(const char* control, QEvent::Type type, Qt::MouseButton button,
             Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(2, 2), QPointF(2, 2), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window->control(QString::fromLatin1(control)), &e);
  }

  std::unique_ptr<ui::ManualWindow> window;
};

TEST_F(ManualWindowTest, HeldKeyJogsUntilItsRealRelease) {
  EXPECT_TRUE(PortIsOpen());
  sim.With([](sim::Controller& c) { c.SetHomed(true); });
  ClearCommands();
  Key(QEvent::KeyPress, Qt::Key_Right);
  EXPECT_EQ(CountOf("A"), 1);
  // The repeats of a held key come as release and press pairs.
  Key(QEvent::KeyRelease, Qt::Key_Right, true);
  Key(QEvent::KeyPress, Qt::Key_Right, true);
  EXPECT_EQ(CountOf("Y"), 0);
  EXPECT_EQ(CountOf("A"), 1);
  EXPECT_TRUE(Machine.JogActive);
  Key(QEvent::KeyRelease, Qt::Key_Right);
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_FALSE(Machine.JogActive);
}

TEST_F(ManualWindowTest, JogButtonsMoveWithTheLeftButtonAlone) {
  ClearCommands();
  Mouse("kr", QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(CountOf("A"), 0);
  Mouse("kr", QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(CountOf("A"), 1);
  Mouse("kr", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(CountOf("Y"), 1);
}

TEST_F(ManualWindowTest, BarsAndLabelsFollowTheLogic) {
  auto* speed = static_cast<QScrollBar*>(window->control("VScroll"));
  ster().VScroll.SetPosition(1234);
  EXPECT_EQ(speed->value(), 1234);
  EXPECT_EQ(static_cast<QLabel*>(window->control("speedlabel"))->text(), QStringLiteral("1230"));
  // The operator's move of the bar sets the speed.
  speed->setValue(500);
  EXPECT_EQ(ster().VScroll.Position, 500);
  const int slot = sim.With([](sim::Controller& c) { return c.ActiveSlot(); });
  EXPECT_EQ(sim.With([&](sim::Controller& c) { return c.SlotPeriod(slot); }), 1600);

  StartLongJob();
  ster().Timer1Timer();
  EXPECT_FALSE(window->control("ku")->isEnabled());
  EXPECT_FALSE(window->control("Bazuj")->isEnabled());
  EXPECT_TRUE(window->control("kstop")->isEnabled());
}

TEST_F(ManualWindowTest, PollSkipsItsTurnWhenTheOperatorsInputWaits) {
  QApplication::processEvents();
  ClearCommands();
  QCoreApplication::postEvent(window.get(),
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
  ster().Timer1Timer();
  EXPECT_TRUE(Commands().empty());
  ster().Timer1Timer();
  EXPECT_FALSE(Commands().empty());
}

TEST_F(ManualWindowTest, WindowStaysOpenWhileTheTurntableSlowsDown) {
  Dlgkonfig().Heavy.SetChecked(true);
  window->show();
  Key(QEvent::KeyPress, Qt::Key_PageUp);
  Key(QEvent::KeyRelease, Qt::Key_PageUp);
  ASSERT_TRUE(ster().Decelerating());
  EXPECT_FALSE(window->close());
  Key(QEvent::KeyPress, Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible());
  // The ramp down takes a second of ticks; a ramp that never ends fails here
  // instead of hanging the suite.
  for (int tick = 0; tick < 100 && ster().Decelerating(); ++tick) ster().Timer1Timer();
  ASSERT_FALSE(ster().Decelerating());
  EXPECT_TRUE(window->close());

  // Escape is the key of the Close button.
  window->show();
  Key(QEvent::KeyPress, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(ManualWindowTest, RightToLeftMirrorsOnlyTheSpeedAndPowerGroupsNotTheJogPad) {
  // As the main window sets it for a right-to-left language.
  Interfejs()->SetRightToLeft(true);
  qApp->setLayoutDirection(Qt::RightToLeft);
  window.reset();  // its end closes the port: before the new one opens it
  window = std::make_unique<ui::ManualWindow>(ster());
  window->resize(window->sizeHint());
  window->layout()->activate();
  const auto x = [&](const char* name) { return window->control(name)->geometry().center().x(); };
  // +X stays right of STOP and -X left of it, as the machine's axis runs.
  EXPECT_LT(x("kl"), x("kstop"));
  EXPECT_LT(x("kstop"), x("kr"));
  EXPECT_EQ(window->control("kr")->layoutDirection(), Qt::LeftToRight);
  EXPECT_EQ(window->control("Szybkosc")->layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(window->control("moc")->layoutDirection(), Qt::RightToLeft);
  // The left-hand button still moves X negative.
  sim.With([](sim::Controller& c) {
    c.SetHomed(true);
    c.SetPosition(100000, 100000, 0);
  });
  ReadPosition();  // as the poll keeps it
  ClearCommands();
  Mouse("kl", QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  Mouse("kl", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  const auto moves = Moves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_LT(moves[0].dx, 0);
  qApp->setLayoutDirection(Qt::LeftToRight);
  Interfejs()->SetRightToLeft(false);
}

}  // namespace
}  // namespace vm::test
