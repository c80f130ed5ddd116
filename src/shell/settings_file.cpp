// Lines and values of the settings text files.
#include "shell/settings_file.h"

#include <charconv>

#include "shell/fltedit_format.h"

namespace vm {

QString CheckBoxStateToStr(TCheckBoxState s) {
  switch (s) {
    case TCheckBoxState::cbChecked:
      return QStringLiteral("cbChecked");
    case TCheckBoxState::cbGrayed:
      return QStringLiteral("cbGrayed");
    case TCheckBoxState::cbUnchecked:
      break;
  }
  return QStringLiteral("cbUnchecked");
}

TCheckBoxState StrToCheckBoxState(const QString& s) {
  if (s == QLatin1String("cbChecked")) return TCheckBoxState::cbChecked;
  if (s == QLatin1String("cbGrayed")) return TCheckBoxState::cbGrayed;
  return TCheckBoxState::cbUnchecked;
}

bool IsNumberChar(QChar c) {
  return c == QLatin1Char('+') || c == QLatin1Char('-') ||
         (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
         c == QLatin1Char(',');
}

QString NumericPrefix(const QString& s) {
  qsizetype n = 0;
  while (n < s.size() && IsNumberChar(s[n])) ++n;
  return s.left(n);
}

TKonfigLine ReadKonfigLine(const QString& line) {
  TKonfigLine out;
  bool inKey = true;
  for (QChar c : line) {
    if (c == QLatin1Char(' ') || c == QLatin1Char(':') || c == QLatin1Char('=')) {
      inKey = false;
      continue;
    }
    (inKey ? out.key : out.value).append(c);
  }
  return out;
}

QStringList SplitKonfigLines(const QByteArray& bytes) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\r' || bytes[i] == '\n') {
      lines.append(QString::fromLatin1(bytes.constData() + start, i - start));
      start = i + 1;
    }
  }
  // The end of the file after a final line ending is no line of its own.
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

std::optional<int> KonfigIntValue(const QString& value) {
  QByteArray b = value.toLatin1();
  if (b.startsWith('+')) {
    b.remove(0, 1);
    if (b.isEmpty() || b[0] == '-') return std::nullopt;
  }
  int v = 0;
  auto r = std::from_chars(b.data(), b.data() + b.size(), v, 10);
  if (b.isEmpty() || r.ec != std::errc() || r.ptr != b.data() + b.size()) return std::nullopt;
  return v;
}

std::optional<double> KonfigFloatValue(const QString& value) {
  const QString prefix = NumericPrefix(value);
  if (prefix.isEmpty()) return std::nullopt;
  return ParseFloatText(prefix);
}

}  // namespace vm
