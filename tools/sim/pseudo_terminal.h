// A pseudo-terminal pair for the controller emulator: the emulator works on the
// master side, the program opens the slave device as its serial port.
#pragma once

#include <QString>

namespace vm::sim {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Opens a new pair with the slave in raw mode without echo. A slave
  // descriptor stays open so that the master does not see a hang-up while the
  // program closes and reopens its side. Returns false with `error` set.
  bool Open(QString* error = nullptr);
  // Closes both sides: the program then sees a hang-up.
  void Close();

  bool isOpen() const { return master_ >= 0; }
  int masterFd() const { return master_; }
  // The emulator's own descriptor of the slave side.
  int slaveFd() const { return slave_; }
  const QString& slavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;
};

}  // namespace vm::sim
