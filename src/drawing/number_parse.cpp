// Locale-independent number parsing with std::from_chars.
#include "drawing/number_parse.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vm {

namespace {
[[noreturn]] void Fail(std::string_view text, const char* what) {
  throw ConversionError("'" + std::string(text) + "' is not a valid " + what);
}

std::string_view StripPlus(std::string_view t) {
  if (!t.empty() && t.front() == '+') {
    t.remove_prefix(1);
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) return {};
  }
  return t;
}
}  // namespace

double ParseFileDouble(std::string_view text) {
  std::string_view t = StripPlus(text);
  if (t.empty()) Fail(text, "number");
  std::string heap;
  const char* data = t.data();
  if (t.find(',') != std::string_view::npos) {
    heap.assign(t);
    for (char& c : heap)
      if (c == ',') c = '.';
    data = heap.data();
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(data, data + t.size(), v, std::chars_format::general);
  if (ec != std::errc() || end != data + t.size() || !std::isfinite(v)) Fail(text, "number");
  return v;
}

std::int32_t ParseFileInt(std::string_view text) {
  std::string_view t = StripPlus(text);
  if (t.empty()) Fail(text, "integer");
  std::int32_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) Fail(text, "integer");
  return v;
}

}  // namespace vm
