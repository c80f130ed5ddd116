// Throughput of the serial writer: one write a byte and a 0.2 ms pause, into a
// pseudo-terminal drained by a reader thread. A 1 KB block is what the
// transmission window sends per timer tick.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>

#include "machine/serial.h"

namespace {

static void BM_SendStringBlock(benchmark::State& state) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  grantpt(master);
  unlockpt(master);
  const char* slave = ptsname(master);
  const int keep = ::open(slave, O_RDWR | O_NOCTTY);
  termios t{};
  tcgetattr(keep, &t);
  cfmakeraw(&t);
  tcsetattr(keep, TCSANOW, &t);
  qputenv("VM_COM1", slave);
  std::atomic<bool> quit{false};
  std::thread reader([&] {
    char buf[4096];
    while (!quit) {
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, 5) > 0) (void)!::read(master, buf, sizeof buf);
    }
  });
  if (!vm::OpenPortIndex(0)) state.SkipWithError("cannot open the pseudo-terminal");
  const QByteArray block(static_cast<int>(state.range(0)), 'a');
  for (auto _ : state) {
    vm::SendString(block);
    if (vm::SerialState.PortError) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  vm::ClosePort();
  quit = true;
  reader.join();
  ::close(keep);
  ::close(master);
}
BENCHMARK(BM_SendStringBlock)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
