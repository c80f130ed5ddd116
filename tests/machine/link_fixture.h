// A machine link to the controller emulator over a pseudo-terminal: the real
// serial code with "com1" pointed at the emulator, every global at its start
// value, message boxes recorded.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QList>

#include "drawing/definicje.h"
#include "drawing/move_encoding.h"
#include "machine/machine_globals.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "sim/sim.h"

namespace vm::test {

inline void ResetMachineLink() {
  ResetSerial();
  ResetPloter();
  Machine.Reset();
  ResetDrawingGlobals();
  ResetCommandLine();
  ResetDlgkonfig();
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachineLink();
    // The texts of the messages come from the language file beside the tests.
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/Velmarosta_US.xml")));
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    qputenv("VM_COM1", sim.SlavePath().toLocal8Bit());
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1000); });
    ASSERT_TRUE(OpenPortIndex(0)) << SerialState.LastError;
  }
  void TearDown() override {
    ResetMachineLink();
    InstallInterfejs(nullptr);
    sim.Stop();
    qunsetenv("VM_COM1");
  }

  // Interactive commands the controller has received, letter first.
  std::vector<QByteArray> Commands() {
    return sim.With([](sim::Controller& c) { return c.Commands(); });
  }
  void ClearCommands() {
    sim.With([](sim::Controller& c) { c.ClearCommands(); });
  }
  // Reports of the lost link shown so far.
  int LinkMessages() const { return static_cast<int>(messages.requests.size()); }
  // Starts an interactive move of dx (1/100 mm) along X and reads its reply:
  // the machine is busy until the move ends.
  void StartMoveX(std::int32_t dx) {
    QByteArray move;
    std::int32_t count = 0;
    EncodeMove(1, dx, 0, move, count, 0);
    SendCommand(move);
    ReadAck();
  }

  sim::Simulator sim;
  ScopedMessageRecorder messages;
};

}  // namespace vm::test
