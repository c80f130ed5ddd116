// How failing expectations print the program's text, byte and point values:
// QString as quoted text, QByteArray as its size and hex bytes, points as
// coordinate tuples, instead of raw object dumps. Every test file sees these
// (the test targets include this header first).
#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

#include "drawing/points.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline void PrintTo(const QByteArray& b, std::ostream* os) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  *os << b.size() << " bytes {";
  for (qsizetype i = 0; i < b.size(); ++i) {
    const auto v = static_cast<unsigned char>(b[i]);
    *os << (i == 0 ? "" : " ") << kDigits[v >> 4] << kDigits[v & 15];
  }
  *os << '}';
}

namespace vm {

inline void PrintTo(const TPointI& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
inline void PrintTo(const TPointD& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
inline void PrintTo(const TPoint3I& p, std::ostream* os) {
  *os << "(" << p.X << ", " << p.Y << ", " << p.Z << ")";
}
inline void PrintTo(const TPoint3F& p, std::ostream* os) {
  *os << "(" << p.X << ", " << p.Y << ", " << p.Z << ")";
}

}  // namespace vm
