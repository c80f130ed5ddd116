#include "sim/sim.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace vm::sim {

namespace {
constexpr auto kByteTime = std::chrono::microseconds(104);  // 12 bits at 115200 baud
// How far the line's schedule may fall behind before the time is given up.
constexpr auto kMostLineBacklog = std::chrono::milliseconds(50);
}  // namespace

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(QString* error) {
  Stop();
  if (!pty_.Open(error)) return false;
  // The program opens the line through a link of a name used once. The serial
  // library locks a port by its name; a terminal number freed by one emulator
  // and handed to the next (tests run side by side) could otherwise still be
  // locked by a program that has not yet closed the old line.
  static std::atomic<int> started{0};
  const QString link = QDir::tempPath() + QStringLiteral("/vm-line-%1-%2")
                                              .arg(QCoreApplication::applicationPid())
                                              .arg(++started);
  QFile::remove(link);
  if (QFile::link(pty_.slavePath(), link)) {
    linkPath_ = link;
    slavePath_ = link;
  } else {
    slavePath_ = pty_.slavePath();
  }
  hungUp_ = false;
  quit_ = false;
  thread_ = std::thread([this] { Loop(); });
  return true;
}

void Simulator::Stop() {
  quit_ = true;
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  pty_.Close();
  if (!linkPath_.isEmpty()) {
    QFile::remove(linkPath_);
    linkPath_.clear();
  }
}

void Simulator::SetSilent(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = on;
  silentFor_ = -1;
}
void Simulator::SilenceAfterCommands(int count, int silentFor) {
  std::lock_guard<std::mutex> lock(mutex_);
  silentFor_ = silentFor;
  if (count <= 0) {
    silent_ = true;
    silenceAfter_ = -1;
  } else {
    silenceAfter_ = count;
  }
}
void Simulator::SetEcho(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  echo_ = on;
}
void Simulator::SetShortReplies(int bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  shortBy_ = bytes;
}
void Simulator::SetStopReading(bool on) {
  std::unique_lock<std::mutex> lock(mutex_);
  stopReading_ = on;
  // Return only once the thread has seen it, so that no read already under
  // way takes bytes after the call.
  if (thread_.joinable()) {
    const std::uint64_t seen = loops_;
    cv_.wait(lock, [&] { return loops_ >= seen + 2 || quit_; });
  }
}
void Simulator::SetThrottle(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  throttle_ = on;
}
void Simulator::HangUpAfterBytes(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  hangUpAfter_ = count;
}

bool Simulator::LimitWriteRoom(int room) {
  SetStopReading(true);
  std::lock_guard<std::mutex> lock(mutex_);
  const int slave = pty_.slaveFd();
  const int master = pty_.masterFd();
  if (slave < 0 || master < 0 || room < 0) return false;
  const int flags = fcntl(slave, F_GETFL);
  fcntl(slave, F_SETFL, flags | O_NONBLOCK);
  const char filler = 0;
  auto fill = [&](std::int64_t most) {
    std::int64_t n = 0;
    while (n < most && ::write(slave, &filler, 1) == 1) ++n;
    return n;
  };
  // Bytes waiting to be read on the master side.
  auto queued = [&] {
    int n = 0;
    return ::ioctl(master, FIONREAD, &n) == 0 ? n : -1;
  };
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
  // The kernel moves written bytes on to the master's read buffer in a work
  // item of its own, which a loaded machine runs late: the line counts as full
  // once nothing more fits and that buffer has stopped growing, at its known
  // size (4096 bytes less one on Linux) or, failing that, for half a second.
  constexpr int kReadBufferFull = 4095;
  std::int64_t filled = 0;
  int full = -1;
  for (int quiet = 0; Clock::now() <= deadline;) {
    const std::int64_t n = fill(INT64_MAX);
    filled += n;
    const int q = queued();
    quiet = (n == 0 && q == full) ? quiet + 1 : 0;
    full = q;
    if ((quiet >= 3 && full >= kReadBufferFull) || quiet >= 250) break;
    pause();
  }
  // Reading on the master side frees room in steps of the kernel's buffers;
  // the room is there once the read buffer is back at its full level and
  // nothing more fits a few moments later.
  char buf[512];
  auto readChunk = [&]() -> std::int64_t {
    const ssize_t r = ::read(master, buf, sizeof buf);
    while (queued() < full && Clock::now() <= deadline) pause();
    return r > 0 ? r : 0;
  };
  auto fillSettled = [&] {
    std::int64_t total = 0;
    for (int quiet = 0; quiet < 3 && Clock::now() <= deadline;) {
      const std::int64_t n = fill(INT64_MAX);
      total += n;
      quiet = n == 0 ? quiet + 1 : 0;
      pause();
    }
    return total;
  };
  std::int64_t drained = readChunk();
  // One read frees this much room; the next read frees as much again.
  const std::int64_t chunk = fillSettled();
  filled += chunk;
  bool ok = full > 0 && chunk > room;
  if (ok) {
    drained += readChunk();
    std::int64_t n = 0;
    while (n < chunk - room && Clock::now() <= deadline) {
      n += fill(chunk - room - n);
      if (n < chunk - room) pause();
    }
    filled += n;
  }
  ok = ok && Clock::now() <= deadline;
  fcntl(slave, F_SETFL, flags);
  skipFiller_ = filled - drained;
  return ok;
}

void Simulator::HangUp() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!thread_.joinable()) {
    CloseLine();
    return;
  }
  hangUpRequested_ = true;
  cv_.wait(lock, [this] { return hungUp_; });
}

std::int64_t Simulator::PacedBytesIn() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pacedIn_;
}

QByteArray Simulator::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}
void Simulator::ClearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
}
int Simulator::BytesWaitingForProgram() const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  // The emulator's own descriptor of the program's side shares its input queue.
  if (pty_.slaveFd() < 0 || ::ioctl(pty_.slaveFd(), FIONREAD, &n) != 0) return 0;
  return n;
}
bool Simulator::IsHungUp() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hungUp_;
}

void Simulator::CloseLine() {
  pty_.Close();
  hungUp_ = true;
  hangUpRequested_ = false;
  hangUpAfter_ = -1;
  cv_.notify_all();
}

void Simulator::Loop() {
  using Clock = Controller::Clock;
  Clock::time_point lineDue{};  // when the line has carried the bytes read so far
  while (!quit_) {
    int fd;
    bool reading;
    bool throttle;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (hangUpRequested_) CloseLine();
      ++loops_;
      cv_.notify_all();
      fd = pty_.masterFd();
      reading = !stopReading_;
      throttle = throttle_;
    }
    if (fd < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    unsigned char buf[256];
    ssize_t n = 0;
    if (reading) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 2) > 0 && (p.revents & POLLIN)) {
        n = ::read(fd, buf, throttle ? 1 : sizeof buf);
        if (n < 0) n = 0;
      }
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto started = Clock::now();
    QByteArray out;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const auto now = Clock::now();
      for (ssize_t i = 0; i < n; ++i) {
        if (skipFiller_ > 0) {
          --skipFiller_;
          continue;
        }
        received_.append(static_cast<char>(buf[i]));
        QByteArray reply;
        if (echo_) {
          reply.append(static_cast<char>(buf[i]));
        } else {
          const std::size_t commands = controller_.Commands().size();
          reply = controller_.Receive(buf[i], now);
          if (silent_) reply.clear();
          const bool completed = controller_.Commands().size() != commands;
          // A command completed while silent: one fewer before answering again.
          if (completed && silent_ && silentFor_ > 0 && --silentFor_ == 0) {
            silent_ = false;
            silentFor_ = -1;
          }
          // A command completed: one fewer to answer before the silence.
          if (completed && silenceAfter_ > 0 && --silenceAfter_ == 0) {
            silent_ = true;
            silenceAfter_ = -1;
          }
        }
        if (shortBy_ > 0 && !reply.isEmpty())
          reply.chop(std::min<qsizetype>(shortBy_, reply.size()));
        out += reply;
        if (hangUpAfter_ > 0 && --hangUpAfter_ == 0) {
          CloseLine();
          break;
        }
      }
      QByteArray spontaneous = controller_.Advance(now);
      if (!silent_ && !echo_) out += spontaneous;
      fd = pty_.masterFd();
    }
    // Replies go out without holding the lock, so tests can inspect the model.
    qsizetype written = 0;
    while (fd >= 0 && written < out.size() && !quit_) {
      const qsizetype chunk = throttle ? 1 : out.size() - written;
      const ssize_t w = ::write(fd, out.constData() + written, static_cast<size_t>(chunk));
      if (w > 0) {
        written += w;
        if (throttle) std::this_thread::sleep_for(kByteTime);
      } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    if (throttle && n > 0) {
      // The line's bytes follow one another on a steady schedule: a late
      // wake-up on a busy machine is made up by the next bytes (a backlog of
      // up to 50 ms), so the line keeps its rate.
      // After a pause of the line (or a hopeless delay) the schedule starts
      // afresh.
      if (lineDue + kMostLineBacklog < started) lineDue = started;
      lineDue += kByteTime * n;
      std::this_thread::sleep_until(lineDue);
      std::lock_guard<std::mutex> lock(mutex_);
      if (n == 1) pacedIn_ += n;
    }
  }
}

}  // namespace vm::sim
