// The controller emulator's command parser: the bytes of the input arrive one
// by one, as over the serial line. A byte 0xFF followed by one byte lets time
// pass (that many tens of milliseconds) so that moves, pauses and jobs run.
#include <chrono>

#include "fuzz_support.h"
#include "sim/controller.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vm::sim::Controller;
  vm::fuzz::Init();
  Controller::Time now{};
  Controller c(now);
  c.SetSpeedUp(100);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 1 < size) {
      now += std::chrono::milliseconds(10 * data[++i]);
      (void)c.Advance(now);
      continue;
    }
    now += std::chrono::microseconds(104);  // one byte at 115200 baud, 12 bits
    (void)c.Receive(data[i], now);
  }
  // Everything that was started comes to its end.
  now += std::chrono::hours(1);
  (void)c.Advance(now);
  (void)c.Status(now);
  (void)c.CurrentPosition(now);
  return 0;
}
