#include "sim/job_decoder.h"

#include <QStringList>

namespace vm::sim {

int JobPayloadLength(std::uint8_t letter) {
  switch (letter) {
    case 'a':
      return 13;
    case 'p':
      return 1;
    case 'l':
      return 2;
    case 'v':
      return 3;
    case 'f':
      return 1;
    case 't':
      return 2;
    case 'r':
      return 2;
    case 'w':
      return 0;
    default:
      return -1;
  }
}

std::int32_t ReadUInt24(const std::uint8_t* p) {
  return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
}

std::int32_t ReadInt24(const std::uint8_t* p) {
  std::int32_t v = ReadUInt24(p);
  if (v & 0x800000) v -= 0x1000000;
  return v;
}

static int Word(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

int DecodeJobCommand(const std::uint8_t* data, std::size_t size, JobCommand& out) {
  if (size == 0) return 0;
  const int payload = JobPayloadLength(data[0]);
  if (payload < 0) return -1;
  if (size < static_cast<std::size_t>(payload) + 1) return 0;
  out = JobCommand{};
  out.letter = static_cast<char>(data[0]);
  const std::uint8_t* p = data + 1;
  switch (out.letter) {
    case 'a':
      out.flags = p[0];
      out.count = ReadUInt24(p + 1);
      out.dx = ReadUInt24(p + 4) * ((out.flags & 1) ? -1 : 1);
      out.dy = ReadUInt24(p + 7) * ((out.flags & 2) ? -1 : 1);
      out.dz = ReadUInt24(p + 10) * ((out.flags & 4) ? -1 : 1);
      break;
    case 'p':
    case 'f':
      out.value = p[0];
      break;
    case 'l':
      out.value = Word(p);
      break;
    case 'v':
      out.slot = p[0];
      out.value = Word(p + 1);
      break;
    case 't':
      out.channel = p[0];
      out.value = p[1];
      break;
    case 'r':
      out.value = p[0];
      out.channel = p[1];
      break;
    default:
      break;
  }
  return payload + 1;
}

QString JobCommand::ToString() const {
  const QString l = QString(QChar::fromLatin1(letter));
  switch (letter) {
    case 'a':
      return QStringLiteral("a %1 %2 %3 %4").arg(count).arg(dx).arg(dy).arg(dz);
    case 'p':
    case 'l':
    case 'f':
      return QStringLiteral("%1 %2").arg(l).arg(value);
    case 'v':
      return QStringLiteral("v %1 %2").arg(slot).arg(value);
    case 't':
      return QStringLiteral("t %1 %2").arg(channel).arg(value);
    case 'r':
      return QStringLiteral("r %1 %2").arg(value).arg(channel);
    default:
      return l;
  }
}

QStringList JobDecodeResult::Texts() const {
  QStringList out;
  for (const JobCommand& c : commands) out << c.ToString();
  return out;
}

JobDecodeResult DecodeJob(const QByteArray& bytes) {
  JobDecodeResult r;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  const std::size_t size = static_cast<std::size_t>(bytes.size());
  std::size_t pos = 0;
  while (pos < size) {
    JobCommand c;
    const int used = DecodeJobCommand(data + pos, size - pos, c);
    if (used <= 0) {
      r.errorOffset = static_cast<qsizetype>(pos);
      r.error = used < 0 ? QStringLiteral("unknown command byte 0x%1 at offset %2")
                               .arg(data[pos], 2, 16, QLatin1Char('0'))
                               .arg(pos)
                         : QStringLiteral("command '%1' cut short at offset %2")
                               .arg(QChar::fromLatin1(static_cast<char>(data[pos])))
                               .arg(pos);
      break;
    }
    r.commands.push_back(c);
    pos += static_cast<std::size_t>(used);
  }
  return r;
}

}  // namespace vm::sim
