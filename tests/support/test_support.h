// Helpers shared by the test suites.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QString>
#include <chrono>
#include <thread>

#include "support/printers.h"

namespace vm::test {

// Absolute path of a fixture in tests/data.
QString DataPath(const QString& name);

// Reads a whole file; fails the calling test (returns empty) when it cannot.
QByteArray ReadAll(const QString& path);

// Writes bytes to a file, creating folders; returns false on failure.
bool WriteAll(const QString& path, const QByteArray& bytes);

// Renders bytes as space-separated upper-case hex pairs ("41 01 06"), so that
// byte-exact expectations read like the format tables.
QString Hex(const QByteArray& bytes);

// Runs the event loop until `done()` holds (a worker reports through queued
// calls); false when it still does not hold after timeoutMs.
template <typename F>
bool WaitForEvents(F&& done, int timeoutMs = 20000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace vm::test
