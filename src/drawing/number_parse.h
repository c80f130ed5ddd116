// Locale-independent reading of numbers from drawing and settings files.
//
// "," is taken as a decimal point like "."; a leading "+" is accepted once.
// Anything else that is not a whole finite number raises ConversionError, so a
// malformed file fails with a clear message instead of giving a wrong value.
#pragma once

#include <cstdint>
#include <string_view>

#include "drawing/errors.h"

namespace vm {

// A text in a file is not a valid number.
class ConversionError : public Error {
 public:
  using Error::Error;
};

// Parses a decimal number ("12", "-3.5", "4,25", ".5", "7.", "1e3").
double ParseFileDouble(std::string_view text);

// Parses a decimal integer that fits 32 bits ("12", "-7", "+3").
std::int32_t ParseFileInt(std::string_view text);

}  // namespace vm
