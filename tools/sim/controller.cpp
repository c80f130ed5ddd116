#include "sim/controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vm::sim {

namespace {

// Bytes that follow the letter of an interactive command, or -1.
int InteractivePayloadLength(std::uint8_t letter) {
  switch (letter) {
    case 'X':
    case 'Y':
    case 'E':
    case 'O':
    case 'J':
    case 'Q':
    case 'C':
    case 'G':
    case 'K':
    case '@':
      return 0;
    case 'I':
    case 'F':
    case 'H':
    case 'S':
    case 'P':
    case 'B':
      return 1;
    case 'R':
    case 'T':
    case 'L':
      return 2;
    case 'V':
      return 3;
    case 'A':
      return 13;
    default:
      return -1;
  }
}

void PutWord(QByteArray& out, int v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}

void PutInt24(QByteArray& out, std::int64_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
  out.append(static_cast<char>((v >> 16) & 0xFF));
}

QByteArray Pad8(const QByteArray& s) {
  QByteArray t = s.left(8);
  while (t.size() < 8) t.append(' ');
  return t;
}

// Time of one step: a period unit is 0.75 microseconds.
constexpr double kPeriodSeconds = 0.75e-6;
constexpr int kDefaultPeriod = 800;

}  // namespace

Controller::Controller(Time now) : lastJobByte_(now), jobCursor_(now) {}

void Controller::SetIdentity(const QByteArray& producer, const QByteArray& model,
                             const QByteArray& version) {
  producer_ = Pad8(producer);
  model_ = Pad8(model);
  version_ = Pad8(version);
}

void Controller::SetWorkingArea(int x, int y, int z) {
  areaX_ = x;
  areaY_ = y;
  areaZ_ = z;
}

void Controller::SetCounters(int minutes, int jobs) {
  minutes_ = minutes;
  jobs_ = jobs;
}

void Controller::SetPosition(std::int64_t x, std::int64_t y, std::int64_t z) {
  motion_.active = false;
  pos_ = {x, y, z};
}

void Controller::SetHomed(bool homed) { homedX_ = homedY_ = homed; }
void Controller::SetSpeedUp(double factor) { speedUp_ = factor > 0 ? factor : 1.0; }
void Controller::SetSlotPeriod(int slot, int period) {
  if (slot >= 0 && slot < 4) periods_[slot] = period;
}
void Controller::BreakWireAtPower(int level) { breakLevel_ = level; }
void Controller::BreakWireAtJobCommand(int index) { breakAtCommand_ = index; }
void Controller::SetWireBroken(bool broken) { wireBroken_ = broken; }

bool Controller::Relay(int channel) const { return channel >= 0 && channel < 4 && relay_[channel]; }
int Controller::PowerLevel(int channel) const {
  return channel >= 0 && channel < 4 ? power_[channel] : 0;
}
int Controller::SlotPeriod(int slot) const { return slot >= 0 && slot < 4 ? periods_[slot] : 0; }

bool Controller::AnyRelay() const {
  return std::any_of(relay_.begin(), relay_.end(), [](bool b) { return b; });
}

Controller::Clock::duration Controller::Scaled(double seconds) const {
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(seconds / speedUp_));
}

int Controller::MovePeriod() const {
  const int p = overrideActive_ ? overridePeriod_ : periods_[activeSlot_];
  return p > 0 ? p : kDefaultPeriod;
}

std::uint8_t Controller::Status(Time now) {
  Update(now);
  std::uint8_t s = 0;
  if (motion_.active) s |= kBusy;
  if (jobRunning_) s |= kJobRunning;
  if (jobHeld_) s |= kHeld;
  if (jobStopped_) s |= kStopped;
  if (AnyRelay()) s |= kRelay;
  if (homedX_ && homedY_) s |= kHomed;
  // The broken wire shows only while current should flow through it.
  if (wireBroken_ && AnyRelay()) s |= kWireBroken;
  return s;
}

Controller::Position Controller::CurrentPosition(Time now) {
  Update(now);
  if (!motion_.active) return pos_;
  const double frac = std::chrono::duration<double>(now - motion_.start) /
                      std::chrono::duration<double>(motion_.duration);
  Position p = motion_.from;
  p.x += static_cast<std::int64_t>(motion_.delta.x * frac);
  p.y += static_cast<std::int64_t>(motion_.delta.y * frac);
  p.z += static_cast<std::int64_t>(motion_.delta.z * frac);
  return p;
}

void Controller::StartMotion(Time start, std::int64_t dx, std::int64_t dy, std::int64_t dz,
                             int count, int period, int homingAxis) {
  motion_.active = true;
  motion_.start = start;
  motion_.from = pos_;
  motion_.delta = {dx, dy, dz};
  motion_.period = period;
  motion_.homingAxis = homingAxis;
  motion_.duration = Scaled(double(std::max(count, 1)) * period * kPeriodSeconds);
  if (motion_.duration <= Clock::duration::zero()) motion_.duration = Clock::duration(1);
}

void Controller::FinishMotion() {
  pos_.x = motion_.from.x + motion_.delta.x;
  pos_.y = motion_.from.y + motion_.delta.y;
  pos_.z = motion_.from.z + motion_.delta.z;
  if (motion_.homingAxis == 1) homedX_ = true;
  if (motion_.homingAxis == 2) homedY_ = true;
  motion_.active = false;
}

void Controller::FreezeMotion(Time now, Position* remaining) {
  if (!motion_.active) {
    if (remaining) *remaining = {};
    return;
  }
  const Position p = CurrentPosition(now);
  if (!motion_.active) {  // it ended on its own just now
    if (remaining) *remaining = {};
    return;
  }
  if (remaining) {
    remaining->x = motion_.from.x + motion_.delta.x - p.x;
    remaining->y = motion_.from.y + motion_.delta.y - p.y;
    remaining->z = motion_.from.z + motion_.delta.z - p.z;
  }
  pos_ = p;
  motion_.active = false;
}

void Controller::UpdateMotion(Time now) {
  if (motion_.active && now >= motion_.start + motion_.duration) {
    const Time end = motion_.start + motion_.duration;
    FinishMotion();
    if (jobRunning_) jobCursor_ = end;
  }
}

// The machine has one heating relay: switching it on routes the current to
// the named channel, switching it off cuts the heating whatever channel byte
// comes with it (a job ends with "r" 0 2 after heating channel 1 or 3).
void Controller::SwitchRelay(bool on, int channel) {
  if (!on) {
    relay_.fill(false);
  } else if (channel >= 1 && channel <= 3) {
    relay_.fill(false);
    relay_[channel] = true;
  }
}

void Controller::CheckWire() {
  if (breakLevel_ <= 0) return;
  for (int ch = 1; ch < 4; ++ch) {
    if (relay_[ch] && power_[ch] >= breakLevel_) wireBroken_ = true;
  }
}

void Controller::Update(Time now) {
  UpdateMotion(now);
  RunJob(now);
}

QByteArray Controller::Advance(Time now) {
  Update(now);
  QByteArray out;
  if (jobBytesUnconfirmed_ && pending_.isEmpty() && now - lastJobByte_ >= kJobQuietTime) {
    jobBytesUnconfirmed_ = false;
    out.append(static_cast<char>(kAck));
  }
  return out;
}

void Controller::RunJob(Time now) {
  while (jobRunning_ && !jobHeld_ && !jobStopped_) {
    if (motion_.active) {
      UpdateMotion(now);
      if (motion_.active) return;
    }
    if (jobCursor_ > now) return;  // a pause is running
    if (jobIndex_ >= job_.size()) {
      jobRunning_ = false;
      return;
    }
    if (breakAtCommand_ >= 0 && jobIndex_ == static_cast<std::size_t>(breakAtCommand_)) {
      breakAtCommand_ = -1;
      wireBroken_ = true;
      jobStopped_ = true;
      jobRunning_ = false;
      return;
    }
    const JobCommand c = job_[jobIndex_++];
    if (c.letter == 'a') {
      StartMotion(jobCursor_, c.dx, c.dy, c.dz, c.count, MovePeriod());
    } else if (c.letter == 'p') {
      jobCursor_ += Scaled(c.value / 1000.0);
    } else {
      ExecuteJobCommand(c);
    }
  }
}

void Controller::ExecuteJobCommand(const JobCommand& c) {
  switch (c.letter) {
    case 'l':
      overridePeriod_ = c.value;
      overrideActive_ = true;
      break;
    case 'v':
      if (c.slot >= 0 && c.slot < 4) periods_[c.slot] = c.value;
      break;
    case 'f':
      if (c.value >= 0 && c.value < 4) activeSlot_ = c.value;
      overrideActive_ = false;
      break;
    case 't':
      if (c.channel >= 1 && c.channel <= 3) {
        power_[c.channel] = c.value;
        powerChannel_ = c.channel;
      }
      CheckWire();
      break;
    case 'r':
      SwitchRelay(c.value != 0, c.channel);
      CheckWire();
      break;
    case 'w':
      jobHeld_ = true;
      break;
    default:
      break;
  }
  if (wireBroken_ && jobRunning_ && AnyRelay()) {
    jobStopped_ = true;
    jobRunning_ = false;
  }
}

void Controller::StopJob(Time now) {
  if (!jobRunning_) return;
  FreezeMotion(now, &resume_);
  hasResume_ = resume_.x != 0 || resume_.y != 0 || resume_.z != 0;
  jobRunning_ = false;
  jobHeld_ = false;
  jobStopped_ = true;
}

QByteArray Controller::Receive(std::uint8_t byte, Time now) {
  // A job still unconfirmed is confirmed after the reply of the next
  // interactive command, never in front of it.
  Update(now);
  QByteArray reply;
  if (pending_.isEmpty()) {
    if (InteractivePayloadLength(byte) < 0 && JobPayloadLength(byte) < 0) return reply;  // noise
  }
  pending_.append(static_cast<char>(byte));
  const auto letter = static_cast<std::uint8_t>(pending_[0]);
  const int interactive = InteractivePayloadLength(letter);
  const int payload = interactive >= 0 ? interactive : JobPayloadLength(letter);
  if (pending_.size() < payload + 1) {
    if (interactive < 0) lastJobByte_ = now;
    return reply;
  }
  const QByteArray cmd = pending_;
  pending_.clear();
  if (interactive >= 0) {
    log_.push_back(cmd);
    Execute(cmd, now, reply);
    if (jobBytesUnconfirmed_) {
      jobBytesUnconfirmed_ = false;
      reply.append(static_cast<char>(kAck));
    }
  } else {
    JobCommand c;
    DecodeJobCommand(reinterpret_cast<const std::uint8_t*>(cmd.constData()),
                     static_cast<std::size_t>(cmd.size()), c);
    job_.push_back(c);
    jobBytesUnconfirmed_ = true;
    lastJobByte_ = now;
  }
  return reply;
}

void Controller::Execute(const QByteArray& cmd, Time now, QByteArray& reply) {
  const auto b = [&](int i) { return static_cast<std::uint8_t>(cmd[i]); };
  const auto ack = [&](int n) {
    for (int i = 0; i < n; ++i) reply.append(static_cast<char>(kAck));
  };
  switch (cmd[0]) {
    case 'X':
      reply.append(static_cast<char>(Status(now)));
      break;
    case 'Y':
      if (!jobRunning_) FreezeMotion(now, nullptr);
      ack(1);
      break;
    case 'E': {
      const Position p = CurrentPosition(now);
      ack(2);
      PutInt24(reply, p.x);
      PutInt24(reply, p.y);
      PutInt24(reply, p.z);
      break;
    }
    case 'O':
      ack(2);
      PutInt24(reply, oValue_);
      break;
    case 'J':
      ack(2);
      reply.append(static_cast<char>(powerChannel_));
      reply.append(static_cast<char>(power_[powerChannel_] & 0xFF));
      break;
    case 'I': {
      ack(2);
      reply.append(static_cast<char>(activeSlot_));
      const int slot = b(1);
      PutWord(reply, slot < 4 ? periods_[slot] : (motion_.active ? motion_.period : 0));
      break;
    }
    case 'V':
      if (b(1) < 4) periods_[b(1)] = b(2) | (b(3) << 8);
      ack(1);
      break;
    case 'F':
      if (b(1) < 4) activeSlot_ = b(1);
      overrideActive_ = false;
      ack(1);
      break;
    case 'R':
      SwitchRelay(b(1) != 0, b(2));
      CheckWire();
      ack(b(1) != 0 && relayOnExtraByte_ ? 2 : 1);
      break;
    case 'T':
      if (b(1) >= 1 && b(1) <= 3) {
        power_[b(1)] = b(2);
        powerChannel_ = b(1);
      }
      CheckWire();
      ack(1);
      break;
    case 'H':
      ack(2);
      switch (b(1)) {
        case 0:
          reply.append(producer_);
          break;
        case 1:
          reply.append(model_);
          break;
        case 2:
          reply.append(version_);
          break;
        case 3:
          PutWord(reply, areaX_);
          PutWord(reply, areaY_);
          PutWord(reply, areaZ_);
          PutWord(reply, 0);
          break;
        case 4:
          PutInt24(reply, minutes_);
          PutWord(reply, jobs_);
          PutInt24(reply, 0);
          break;
        default:
          break;
      }
      break;
    case 'A': {
      JobCommand m;
      QByteArray asJob = cmd;
      asJob[0] = 'a';
      DecodeJobCommand(reinterpret_cast<const std::uint8_t*>(asJob.constData()), 14, m);
      if (!jobRunning_) {
        FreezeMotion(now, nullptr);
        StartMotion(now, m.dx, m.dy, m.dz, m.count, MovePeriod());
      }
      ack(1);
      break;
    }
    case 'S':
      axisSetup_ = b(1);
      ack(1);
      break;
    case 'P':
      slowTurn_ = !slowTurn_;
      if (!slowTurn_) overrideActive_ = false;
      ack(1);
      break;
    case 'L':
      overridePeriod_ = b(1) | (b(2) << 8);
      overrideActive_ = true;
      ack(1);
      break;
    case 'B': {
      if (!jobRunning_ && !motion_.active) {
        const Position p = pos_;
        const int period = periods_[0] > 0 ? periods_[0] : kDefaultPeriod;
        if (b(1) == '1') StartMotion(now, -p.x, 0, 0, static_cast<int>(std::llabs(p.x)), period, 1);
        if (b(1) == '2') StartMotion(now, 0, -p.y, 0, static_cast<int>(std::llabs(p.y)), period, 2);
        if (b(1) == '4') StartMotion(now, 0, 0, -p.z, static_cast<int>(std::llabs(p.z)), period, 4);
      }
      ack(1);
      break;
    }
    case 'Q':
      StopJob(now);
      oValue_ = static_cast<std::int32_t>(CurrentPosition(now).y);
      ack(1);
      break;
    case 'C':
      job_.clear();
      jobIndex_ = 0;
      jobBytesUnconfirmed_ = false;
      jobRunning_ = jobHeld_ = jobStopped_ = false;
      hasResume_ = false;
      ack(1);
      break;
    case 'G':
      if (jobRunning_ && jobHeld_) {
        jobHeld_ = false;
        jobCursor_ = now;
      } else if (!jobRunning_ && !job_.empty()) {
        jobIndex_ = 0;
        jobRunning_ = true;
        jobStopped_ = false;
        overrideActive_ = false;
        jobCursor_ = now;
        ++jobs_;
      }
      ack(1);
      break;
    case 'K':
      if (jobStopped_ && !wireBroken_) {
        jobStopped_ = false;
        jobRunning_ = true;
        jobCursor_ = now;
        if (hasResume_) {
          const std::int64_t len = static_cast<std::int64_t>(std::sqrt(
              double(resume_.x * resume_.x + resume_.y * resume_.y + resume_.z * resume_.z)));
          StartMotion(now, resume_.x, resume_.y, resume_.z, static_cast<int>(len), MovePeriod());
          hasResume_ = false;
        }
      }
      ack(1);
      break;
    case '@':
      // The program aborts a transfer with a run of these bytes: the buffer
      // is dropped and nothing is answered.
      job_.clear();
      jobIndex_ = 0;
      jobBytesUnconfirmed_ = false;
      break;
    default:
      break;
  }
}

}  // namespace vm::sim
