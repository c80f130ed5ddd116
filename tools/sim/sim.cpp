#include "sim/sim.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace vm::sim {

namespace {
constexpr auto kByteTime = std::chrono::microseconds(104);  // 12 bits at 115200 baud
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(QString* error) {
  Stop();
  if (!pty_.Open(error)) return false;
  slavePath_ = pty_.slavePath();
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
}

void Simulator::SetSilent(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = on;
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
  // The kernel moves data on between its buffers a little later: fill until
  // nothing more fits even after a pause.
  auto fillUp = [&] {
    std::int64_t total = 0;
    for (;;) {
      const std::int64_t n = fill(INT64_MAX);
      total += n;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (n == 0) return total;
    }
  };
  // Room comes back one buffer chunk at a time when the far end reads.
  char buf[512];
  auto readChunk = [&] {
    const ssize_t r = ::read(master, buf, sizeof buf);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return r > 0 ? r : 0;
  };
  std::int64_t filled = fillUp();
  std::int64_t drained = readChunk();
  const std::int64_t chunk = fillUp();
  filled += chunk;
  bool ok = chunk > room;
  if (ok) {
    drained += readChunk();
    filled += fill(chunk - room);
  }
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

QByteArray Simulator::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}
void Simulator::ClearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
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
          reply = controller_.Receive(buf[i], now);
          if (silent_) reply.clear();
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
      const auto due = started + kByteTime * n;
      std::this_thread::sleep_until(due);
    }
  }
}

}  // namespace vm::sim
