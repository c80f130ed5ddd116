// Streaming a 64 KiB cutting job through the transmission window's logic to
// the controller emulator, whose line runs at the real rate (104 us a byte).
// Reported per transfer:
//   bytes_per_s   job bytes over the time from the first to the last byte;
//   pacing_ratio  the pacing's own time (each write plus 0.2 ms) over that
//                 time: 1.0 keeps the pacing exactly, the goal is >= 0.95;
//   stall_ms      the longest gap between two turns of the window's event
//                 loop while the job streams (goal < 50 ms);
//   abort_ms      (abort case) from the Abort press to the window's end
//                 (goal < 300 ms).
// BM_EventLoopAlone measures the same longest gap of an event loop with no
// transfer at all: what the machine's own scheduling costs.
// Each counter is the median of the benchmark's iterations (three transfers).
// The argument is the number of threads that keep every core busy, so the
// pacing is measured on an idle and on a loaded machine.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "drawing/definicje.h"
#include "drawing/job_writer.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "machine/transmit.h"
#include "shell/message_recorder.h"
#include "shell/program_info.h"
#include "sim/sim.h"

namespace {

constexpr qint64 kJobBytes = 64 * 1024;
constexpr int kTransfers = 3;

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A plain-cutting job of whole commands, at least 64 KiB, written by the
// program's job writer: a meander with corners and short moves.
QByteArray WriteCuttingJob(const QString& file) {
  vm::JobWriter w;
  vm::JobSettings settings;
  settings.CalibrationX = 1.013;
  w.BeginJob(file, settings);
  w.SetStart(0, 0, 0);
  std::int32_t x = 0, y = 0, dir = 1;
  for (int i = 1; i <= 4480; ++i) {
    if (i % 16 == 0) {
      y += 397;
      dir = -dir;
    } else {
      x += dir * (i % 16 == 7 ? 61 : 1193 + i % 7);
    }
    w.MoveTo(x, y);
  }
  w.EndJob();
  QFile f(file);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

// Threads that spin until told to stop.
class Load {
 public:
  explicit Load(int threads) {
    for (int i = 0; i < threads; ++i)
      threads_.emplace_back([this] {
        volatile std::uint64_t n = 0;
        while (!stop_.load(std::memory_order_relaxed)) n = n + 1;
      });
  }
  ~Load() {
    stop_ = true;
    for (auto& t : threads_) t.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

// The emulator on a pseudo-terminal at the real line rate, "com1" pointed at
// it, and the job file beside the "program".
struct Rig {
  vm::sim::Simulator sim;
  QTemporaryDir dir;
  vm::ScopedMessageRecorder messages;
  QByteArray job;
  bool ok = false;

  Rig() {
    if (!dir.isValid() || !sim.Start()) return;
    sim.SetThrottle(true);
    qputenv("VM_COM1", sim.SlavePath().toLocal8Bit());
    vm::ExeDir = dir.path() + "/";
    job = WriteCuttingJob(vm::Ttransmisja::JobFilePath());
    ok = job.size() >= kJobBytes && vm::OpenPortIndex(0);
  }
  ~Rig() {
    vm::ResetTransmisja();
    vm::ResetSerial();
    sim.Stop();
    qunsetenv("VM_COM1");
  }
  void ClearController() {
    sim.With([](vm::sim::Controller& c) {
      c.Receive('C', vm::sim::Controller::Clock::now());
      return 0;
    });
    vm::DiscardInput();
  }
};

// Measures the longest gap between two turns of the event loop: a 1 ms
// timer whose shots should come 1 ms apart.
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
  }
  void Start() {
    clock_.start();
    last_ = -1;
    longest_ = 0;
    timer_.start();
  }
  double Stop() {
    timer_.stop();
    return static_cast<double>(longest_) / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  qint64 longest_ = 0;
};

std::string failure_;

void BM_TransmitJob(benchmark::State& state) {
  Rig rig;
  if (!rig.ok) {
    state.SkipWithError("no emulator");
    return;
  }
  Load load(static_cast<int>(state.range(0)));
  std::vector<double> rate, ratio, stall;
  for (auto _ : state) {
    rig.ClearController();
    vm::Ttransmisja w;
    StallMeter meter;
    w.OnProgress = [&] {
      if (w.BytesSent() == 1) meter.Start();
    };
    const vm::ModalResult r = w.RunModal();
    stall.push_back(meter.Stop());
    if (r != vm::ModalResult::OK) {
      failure_ = "the transfer failed after " + std::to_string(w.BytesSent()) + " bytes";
      for (const vm::MessageRequest& m : rig.messages.requests)
        failure_ += ": " + m.text.toStdString();
      state.SkipWithError(failure_.c_str());
      return;
    }
    const vm::TransferPacing p = w.LastPacing();
    rate.push_back(p.bytes / p.elapsedSeconds);
    ratio.push_back(p.pacedSeconds / p.elapsedSeconds);
  }
  state.counters["job_bytes"] = static_cast<double>(rig.job.size());
  state.counters["bytes_per_s"] = Median(rate);
  state.counters["pacing_ratio"] = Median(ratio);
  state.counters["stall_ms"] = Median(stall);
}
BENCHMARK(BM_TransmitJob)
    ->ArgName("load_threads")
    ->Arg(0)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Iterations(kTransfers)
    ->Unit(benchmark::kSecond);

void BM_TransmitAbort(benchmark::State& state) {
  Rig rig;
  if (!rig.ok) {
    state.SkipWithError("no emulator");
    return;
  }
  Load load(static_cast<int>(state.range(0)));
  std::vector<double> abortMs, stall;
  for (auto _ : state) {
    rig.ClearController();
    vm::Ttransmisja w;
    StallMeter meter;
    QElapsedTimer pressed;
    // Abort a third of the way through, from the event loop as a click is.
    w.OnProgress = [&] {
      if (w.BytesSent() == 1) {
        meter.Start();
        QTimer::singleShot(4000, [&] {
          pressed.start();
          w.PrzerwijClick();
        });
      }
    };
    // The window's modal loop returns as soon as the window has ended.
    const vm::ModalResult r = w.RunModal();
    abortMs.push_back(static_cast<double>(pressed.nsecsElapsed()) / 1e6);
    stall.push_back(meter.Stop());
    if (r != vm::ModalResult::Cancel) {
      state.SkipWithError("the transfer was not aborted");
      return;
    }
    // The tail and the drain end on their own.
    while (w.Sending()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  state.counters["abort_ms"] = Median(abortMs);
  state.counters["stall_ms"] = Median(stall);
}
BENCHMARK(BM_TransmitAbort)
    ->ArgName("load_threads")
    ->Arg(0)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Iterations(kTransfers)
    ->Unit(benchmark::kSecond);

void BM_EventLoopAlone(benchmark::State& state) {
  Load load(static_cast<int>(state.range(0)));
  std::vector<double> stall;
  for (auto _ : state) {
    StallMeter meter;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    meter.Start();
    loop.exec();
    stall.push_back(meter.Stop());
  }
  state.counters["stall_ms"] = Median(stall);
}
BENCHMARK(BM_EventLoopAlone)
    ->ArgName("load_threads")
    ->Arg(0)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Iterations(kTransfers)
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
