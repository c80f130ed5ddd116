// velmarosta-sim: runs the controller emulator on a pseudo-terminal until it is
// killed. Prints the device the program should open; with an argument, also
// makes a symbolic link of that name to the device. --model gives the model
// text the controller reports (its first letters choose the machine family),
// --throttle paces the line to its real rate.
//
//   velmarosta-sim [link-path] [--throttle] [--model TEXT]
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cerrno>
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
  const char* model = nullptr;
  const char* usage = "usage: velmarosta-sim [link-path] [--throttle] [--model TEXT]\n";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--throttle") == 0) {
      throttle = true;
    } else if (std::strcmp(argv[i], "--model") == 0 && i + 1 < argc) {
      model = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("%s", usage);
      return 0;
    } else if (argv[i][0] == '-') {  // an unknown option, or --model without its text
      std::fprintf(stderr, "%s", usage);
      return 2;
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
  if (model) {
    sim.With(
        [model](vm::sim::Controller& c) { c.SetIdentity("Corvanta", QByteArray(model), "1.07"); });
  }
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
  while (!g_quit) {
    ::usleep(100000);
    // What tests inspect is not kept: a long session would only grow it.
    sim.ClearReceived();
    sim.With([](vm::sim::Controller& c) { c.ClearCommands(); });
  }
  sim.Stop();
  if (!link.empty()) ::unlink(link.c_str());
  return 0;
}
