#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vm::sim {

PseudoTerminal::~PseudoTerminal() { Close(); }

static bool Fail(QString* error, const char* what) {
  if (error)
    *error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
  return false;
}

bool PseudoTerminal::Open(QString* error) {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return Fail(error, "posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    Fail(error, "grantpt/unlockpt");
    Close();
    return false;
  }
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) {
    Fail(error, "ptsname");
    Close();
    return false;
  }
  slavePath_ = QString::fromLocal8Bit(name);
  slave_ = ::open(name, O_RDWR | O_NOCTTY);
  if (slave_ < 0) {
    Fail(error, "open slave");
    Close();
    return false;
  }
  termios t{};
  if (tcgetattr(slave_, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
  }
  // The master is polled by the emulator's thread; reads never block.
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

void PseudoTerminal::Close() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = -1;
  slave_ = -1;
}

}  // namespace vm::sim
