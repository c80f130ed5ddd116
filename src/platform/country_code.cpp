#include "platform/country_code.h"

#include <QLocale>

namespace vm::platform {

namespace {

std::optional<int> g_override;

struct TerritoryCode {
  QLocale::Territory territory;
  int code;
};

// Telephone codes of the territories whose languages the program may offer,
// and of their neighbours, so that a system set to one of them reads as itself.
constexpr TerritoryCode kTerritoryCodes[] = {
    {QLocale::UnitedStates, 1},
    {QLocale::Canada, 1},
    {QLocale::Russia, 7},
    {QLocale::Kazakhstan, 7},
    {QLocale::Egypt, 20},
    {QLocale::SouthAfrica, 27},
    {QLocale::Greece, 30},
    {QLocale::Netherlands, 31},
    {QLocale::Belgium, 32},
    {QLocale::France, 33},
    {QLocale::Spain, 34},
    {QLocale::Hungary, 36},
    {QLocale::Italy, 39},
    {QLocale::Romania, 40},
    {QLocale::Switzerland, 41},
    {QLocale::Austria, 43},
    {QLocale::UnitedKingdom, 44},
    {QLocale::Denmark, 45},
    {QLocale::Sweden, 46},
    {QLocale::Norway, 47},
    {QLocale::Poland, 48},
    {QLocale::Germany, 49},
    {QLocale::Mexico, 52},
    {QLocale::Brazil, 55},
    {QLocale::Australia, 61},
    {QLocale::Japan, 81},
    {QLocale::SouthKorea, 82},
    {QLocale::China, 86},
    {QLocale::Turkey, 90},
    {QLocale::India, 91},
    {QLocale::Portugal, 351},
    {QLocale::Ireland, 353},
    {QLocale::Finland, 358},
    {QLocale::Bulgaria, 359},
    {QLocale::Lithuania, 370},
    {QLocale::Latvia, 371},
    {QLocale::Estonia, 372},
    {QLocale::Ukraine, 380},
    {QLocale::Croatia, 385},
    {QLocale::Slovenia, 386},
    {QLocale::CzechRepublic, 420},
    {QLocale::Slovakia, 421},
    {QLocale::UnitedArabEmirates, 971},
    {QLocale::SaudiArabia, 966},
};

}  // namespace

int TelephoneCodeOfTerritory(int territory) {
  for (const TerritoryCode& t : kTerritoryCodes) {
    if (static_cast<int>(t.territory) == territory) return t.code;
  }
  return 0;
}

int SystemCountryCode() {
  if (g_override) return *g_override;
  const int code = TelephoneCodeOfTerritory(static_cast<int>(QLocale::system().territory()));
  return code != 0 ? code : 1;
}

void SetCountryCodeOverride(std::optional<int> code) { g_override = code; }

}  // namespace vm::platform
