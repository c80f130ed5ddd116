// Waiting in tests for something another thread or the system does: poll a
// condition until it holds or a generous deadline passes. Tests wait for the
// event itself, never for a fixed time, so a loaded machine makes them slower,
// not wrong.
#pragma once

#include <chrono>
#include <thread>

namespace vm::test {

// True as soon as `done()` holds; false when it still does not after
// `timeoutMs`.
template <typename F>
bool WaitFor(F&& done, int timeoutMs = 10000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace vm::test
