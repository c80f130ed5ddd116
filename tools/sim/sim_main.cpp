// velmarosta-sim: runs the controller emulator on a pseudo-terminal until it is
// killed. Prints the device the program should open; with an argument, also
// makes a symbolic link of that name to the device.
//
//   velmarosta-sim [link-path] [--throttle]
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/sim.h"

namespace {
std::atomic<bool> g_quit{false};
void OnSignal(int) { g_quit = true; }
}  // namespace

int main(int argc, char** argv) {
  std::string link;
  bool throttle = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--throttle") == 0) {
      throttle = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("usage: velmarosta-sim [link-path] [--throttle]\n");
      return 0;
    } else {
      link = argv[i];
    }
  }
  vm::sim::Simulator sim;
  QString error;
  if (!sim.Start(&error)) {
    std::fprintf(stderr, "velmarosta-sim: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  sim.SetThrottle(throttle);
  const QByteArray slave = sim.SlavePath().toLocal8Bit();
  if (!link.empty()) {
    ::unlink(link.c_str());
    if (::symlink(slave.constData(), link.c_str()) != 0) {
      std::fprintf(stderr, "velmarosta-sim: cannot link %s: %s\n", link.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  std::printf("%s\n", slave.constData());
  std::fflush(stdout);
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
  while (!g_quit) ::usleep(100000);
  sim.Stop();
  if (!link.empty()) ::unlink(link.c_str());
  return 0;
}
