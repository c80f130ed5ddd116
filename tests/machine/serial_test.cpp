// The serial port end to end on a pseudo-terminal: port choice, open failures,
// the read time-out, a write that fails part-way and a line that goes dead.
#include <QCoreApplication>
#include <QSerialPort>
#include <cerrno>
#include <chrono>
#include <thread>

#include "link_fixture.h"
#include "support/wait_for.h"

namespace vm::test {
namespace {

using SerialTest = LinkTest;

TEST_F(SerialTest, PortIndexChoosesTheDeviceAndUnknownIndexesOpenCom1) {
  qputenv("VM_COM5", sim.SlavePath().toLocal8Bit());
  struct Case {
    int index;
    const char* name;
  } cases[] = {{7, "com1"}, {-1, "com1"}, {4, "com5"}, {0, "com1"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(OpenPortIndex(c.index)) << c.index;
    EXPECT_EQ(SerialState.PortName, QByteArray(c.name));
    SendString("X");
    ReadByte();
    EXPECT_EQ(SerialState.LastError, 0u) << c.index;
  }
  qunsetenv("VM_COM5");
}

TEST_F(SerialTest, OpenPortUsesTheSettingsChoice) {
  Dlgkonfig().Comnumber.SetItemIndex(0);
  EXPECT_TRUE(OpenPort());
  EXPECT_TRUE(PortIsOpen());
}

TEST_F(SerialTest, MissingDeviceFailsWithTheSystemErrorAndLeavesThePortClosed) {
  qputenv("VM_COM2", "/nonexistent/ttyVM0");
  EXPECT_FALSE(OpenPortIndex(1));
  EXPECT_EQ(SerialState.LastError, static_cast<std::uint32_t>(ENOENT));
  EXPECT_FALSE(PortIsOpen());
  ClosePort();  // closing a closed port does nothing
  ClosePort();
  EXPECT_FALSE(PortIsOpen());
  qunsetenv("VM_COM2");
}

TEST_F(SerialTest, SilentControllerEndsTheReadWithOneTimeOutAndALateReplyIsStillRead) {
  sim.SetSilent(true);
  const int before = SerialReadTimeouts();
  SendString("X");
  ReadByte();
  EXPECT_EQ(SerialState.LastError, kReadTimedOut);
  EXPECT_EQ(SerialReadTimeouts(), before + 1);
  // Silence alone is no dead line.
  EXPECT_TRUE(PortIsOpen());
  EXPECT_FALSE(SerialState.PortError);

  // A reply that comes late, well within the time-out, is waited for.
  sim.SetSilent(false);
  sim.SetStopReading(true);
  SendString("X");
  std::thread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sim.SetStopReading(false);
  });
  ReadByte();
  late.join();
  EXPECT_EQ(SerialState.LastError, 0u);
  EXPECT_EQ(SerialReadTimeouts(), before + 1);
}

TEST_F(SerialTest, WriteFailingAtTheThirdOfFiveBytesLeavesTheRestUnsent) {
  // The controller holds the line after two more bytes (one 2 s write time-out).
  ASSERT_TRUE(sim.LimitWriteRoom(2));
  sim.ClearReceived();
  SendString("12345");  // bytes the controller takes for noise
  EXPECT_TRUE(SerialState.PortError);
  EXPECT_EQ(SerialState.LastError, static_cast<std::uint32_t>(QSerialPort::TimeoutError));
  sim.SetStopReading(false);
  ASSERT_TRUE(WaitFor([&] { return sim.Received().size() >= 2; }));
  // The line itself is fine again, and the byte that could not leave is not
  // sent later either: the next command follows the two bytes directly.
  EXPECT_TRUE(PortIsOpen());
  SendString("X");
  EXPECT_EQ(SerialState.LastError, 0u);
  ReadByte();
  EXPECT_EQ(SerialState.LastError, 0u);
  EXPECT_EQ(sim.Received(), QByteArray("12X"));
}

TEST_F(SerialTest, WriteToAHungUpLineFailsAndClosesThePort) {
  sim.HangUp();
  SendString("ABCDE");
  EXPECT_TRUE(SerialState.PortError);
  EXPECT_NE(SerialState.LastError, 0u);
  EXPECT_FALSE(PortIsOpen());
  // The next call fails at once, it does not try the dead line again.
  SerialState.PortError = false;
  SendString("X");
  EXPECT_TRUE(SerialState.PortError);
}

TEST_F(SerialTest, HangUpClosesThePortInsteadOfWaitingOrSpinning) {
  SendString("E");  // a reply is on its way when the line dies
  sim.HangUp();
  const int before = SerialReadTimeouts();
  for (int i = 0; i < 12; ++i) ReadByte();
  // None of the reads waited out its time-out.
  EXPECT_EQ(SerialReadTimeouts(), before);
  EXPECT_EQ(SerialState.LastError, kReadTimedOut);
  EXPECT_TRUE(SerialState.PortError);
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(SerialTest, HangUpWhileIdleIsNoticedByTheEventLoop) {
  const int before = SerialErrorSignals();
  sim.HangUp();
  ASSERT_TRUE(WaitFor([&] {
    QCoreApplication::processEvents();
    return SerialErrorSignals() > before && !PortIsOpen();
  }));
  for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
  // The dead line is closed at its first report, not polled again and again.
  EXPECT_LT(SerialErrorSignals() - before, 10);
  SendString("X");
  EXPECT_TRUE(SerialState.PortError);
}

}  // namespace
}  // namespace vm::test
