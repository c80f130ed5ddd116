// The operating system's country setting as a telephone country code.
//
// The language choice at start-up is keyed by telephone codes (1, 48, 49, ...).
// Here the code comes from the territory of the system locale; a territory the
// table does not know gives 1. Tests pin the code with SetCountryCodeOverride.
#pragma once

#include <optional>

namespace vm::platform {

// Telephone country code of the system locale's territory (default 1).
int SystemCountryCode();

// Replaces what SystemCountryCode reports until cleared (std::nullopt).
void SetCountryCodeOverride(std::optional<int> code);

// Telephone code of a QLocale::Territory value, 0 when the table lacks it.
int TelephoneCodeOfTerritory(int territory);

}  // namespace vm::platform
