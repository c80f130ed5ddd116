// Number text of the numeric edits and the settings files.
#include "shell/fltedit_format.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vm {
namespace {

// Significant digits (at most `precision`, trailing zeros dropped) and the
// decimal exponent of |v|, v != 0: v = 0.d1d2d3... * 10^(exp + 1).
struct Digits {
  std::string digits;
  int exp = 0;
};

Digits SignificantDigits(double v, int precision) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                         precision - 1);
  std::string s(buf, r.ptr);
  const auto e = s.find('e');
  Digits d;
  d.exp = std::atoi(s.c_str() + e + 1);
  for (std::size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits.push_back(s[i]);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Plain decimal notation of the digits (no exponent).
std::string PlainFromDigits(const Digits& d, bool negative) {
  std::string out = negative ? "-" : "";
  const int n = static_cast<int>(d.digits.size());
  if (d.exp < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exp - 1), '0');
    out += d.digits;
  } else if (d.exp + 1 >= n) {
    out += d.digits;
    out.append(static_cast<std::size_t>(d.exp + 1 - n), '0');
  } else {
    out += d.digits.substr(0, static_cast<std::size_t>(d.exp + 1));
    out += '.';
    out += d.digits.substr(static_cast<std::size_t>(d.exp + 1));
  }
  return out;
}

QString WithSeparator(const std::string& s, QChar decimalPoint) {
  QString q = QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
  q.replace(QLatin1Char('.'), decimalPoint);
  return q;
}

// Drops the sign of a text that shows only zeros ("-0.000" -> "0.000").
std::string DropNegativeZero(std::string s) {
  if (!s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string ExponentForm(const Digits& d, bool negative, int minExpDigits, bool plusSign,
                         int fixedMantissaDigits) {
  std::string out = negative ? "-" : "";
  std::string digits = d.digits;
  if (fixedMantissaDigits > 0 && static_cast<int>(digits.size()) < fixedMantissaDigits)
    digits.append(static_cast<std::size_t>(fixedMantissaDigits) - digits.size(), '0');
  out += digits[0];
  if (digits.size() > 1) {
    out += '.';
    out += digits.substr(1);
  }
  out += 'E';
  if (d.exp < 0)
    out += '-';
  else if (plusSign)
    out += '+';
  std::string e = std::to_string(std::abs(d.exp));
  while (static_cast<int>(e.size()) < minExpDigits) e.insert(e.begin(), '0');
  return out + e;
}

std::string General(double v, int precision) {
  if (!std::isfinite(v)) return std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF");
  if (v == 0) return "0";
  const Digits d = SignificantDigits(v, precision);
  if (d.exp < -5 || d.exp >= precision) return ExponentForm(d, v < 0, 0, false, 0);
  return DropNegativeZero(PlainFromDigits(d, v < 0));
}

std::string Fixed(double v, int digits) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, digits);
  if (r.ec != std::errc()) return General(v, 15);
  return DropNegativeZero(std::string(buf, r.ptr));
}

QString GroupThousands(const QString& s, QChar decimalPoint) {
  QChar group = QLocale().groupSeparator().isEmpty() ? QChar(' ') : QLocale().groupSeparator()[0];
  if (group == decimalPoint) group = (decimalPoint == QLatin1Char(',')) ? QChar(' ') : QChar(',');
  qsizetype start = s.startsWith(QLatin1Char('-')) ? 1 : 0;
  qsizetype end = s.indexOf(decimalPoint);
  if (end < 0) end = s.size();
  QString out = s;
  for (qsizetype i = end - 3; i > start; i -= 3) out.insert(i, group);
  return out;
}

}  // namespace

QChar LocaleDecimalPoint() {
  const QString dp = QLocale().decimalPoint();
  return dp.isEmpty() ? QChar('.') : dp[0];
}

QString FormatGeneral(double v, QChar decimalPoint) {
  return WithSeparator(General(v, 15), decimalPoint);
}

QString FormatFloat(double v, TFloatFormat format, int precision, int digits, QChar decimalPoint) {
  if (precision <= 0 || precision > 18) precision = 15;
  if (digits < 0) digits = 0;
  if (digits > 18) digits = 18;
  if (!std::isfinite(v)) return WithSeparator(General(v, precision), decimalPoint);
  switch (format) {
    case TFloatFormat::ffGeneral:
      return WithSeparator(General(v, precision), decimalPoint);
    case TFloatFormat::ffExponent: {
      if (v == 0) {
        Digits z{"0", 0};
        return WithSeparator(ExponentForm(z, false, digits, true, precision), decimalPoint);
      }
      return WithSeparator(
          ExponentForm(SignificantDigits(v, precision), v < 0, digits, true, precision),
          decimalPoint);
    }
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency: {
      // A value with more integer digits than the precision falls back to the
      // general form, as a fixed text of it would show invented digits.
      if (v != 0 && SignificantDigits(v, precision).exp >= precision)
        return WithSeparator(General(v, precision), decimalPoint);
      const QString fixed = WithSeparator(Fixed(v, digits), decimalPoint);
      return format == TFloatFormat::ffFixed ? fixed : GroupThousands(fixed, decimalPoint);
    }
  }
  return WithSeparator(General(v, precision), decimalPoint);
}

std::optional<double> ParseFloatText(QStringView text) {
  QString t = text.trimmed().toString();
  if (t.startsWith(QLatin1Char('+'))) t.remove(0, 1);
  if (t.isEmpty()) return std::nullopt;
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  for (QChar c : t)
    if (c.unicode() > 127) return std::nullopt;
  const QByteArray b = t.toLatin1();
  // from_chars also reads "inf" and "nan"; only plain numbers are wanted.
  for (char c : b)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == 'e' ||
          c == 'E'))
      return std::nullopt;
  double v = 0;
  auto r = std::from_chars(b.data(), b.data() + b.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != b.data() + b.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

QString FormatSettingsNumber(double v) {
  if (!std::isfinite(v) || v == 0) return QStringLiteral("0");
  std::string s = DropNegativeZero(PlainFromDigits(SignificantDigits(v, 15), v < 0));
  double back = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), back);
  if (r.ec != std::errc() || back != v) {
    char buf[400];
    auto w = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    s.assign(buf, w.ptr);
  }
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace vm
