// Models and event-loop helpers for the serial-cut generator tests.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace vm::test {

// The twelve triangles of a box, as ".RAW" lines (mm).
inline QByteArray BoxRaw(double x0, double y0, double z0, double x1, double y1, double z1) {
  const double v[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                          {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
  const int faces[12][3] = {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                            {3, 2, 6}, {3, 6, 7}, {0, 3, 7}, {0, 7, 4}, {1, 2, 6}, {1, 6, 5}};
  QByteArray out;
  for (const auto& f : faces) {
    QByteArrayList numbers;
    for (int k : f)
      for (double c : v[k]) numbers << QByteArray::number(c);
    out += numbers.join(' ') + "\n";
  }
  return out;
}

// Spins the event loop until `done` holds (true) or `timeoutMs` passed.
inline bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(2);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  poll.start();
  loop.exec();
  // Workers free themselves with deleteLater.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return done();
}

}  // namespace vm::test
