#include "shell/interfejs.h"

#include <QFile>
#include <QFileInfo>

#include "drawing/definicje.h"
#include "platform/country_code.h"
#include "shell/messages.h"
#include "shell/options.h"
#include "shell/program_info.h"
#include "shell/version.h"

namespace vm {

namespace {

std::unique_ptr<tInterfejs> g_instance;

// The loading messages come before any language is loaded, so they are the
// program's own texts, always in English and always left to right.
const QString kConfigCaption = QStringLiteral("Configuration error");

void ConfigError(const char* text, const QString& fileName) {
  ShowMessageBox(QString::fromLatin1(text) + QStringLiteral("\r\n") + fileName, true,
                 kConfigCaption);
}

struct CountryLanguage {
  int country;
  const char* language;
};

constexpr CountryLanguage kCountryLanguageMap[] = {
    {1, "US"},  {7, "RU"},  {33, "FR"}, {34, "ES"}, {36, "HU"},  {39, "IT"},
    {40, "RO"}, {48, "PL"}, {49, "DE"}, {86, "CN"}, {421, "SK"}, {966, "SA"},
};

struct LanguageSwitch {
  const char* switches[3];
  const char* language;
  int country;
};

// Tested in this order; of several switches present the later one wins.
constexpr LanguageSwitch kSwitchTable[] = {
    {{"USA", "US", "GB"}, "US", 1},        {{"POLSKA", "PL", nullptr}, "PL", 48},
    {{"DE", nullptr, nullptr}, "DE", 49},  {{"RU", nullptr, nullptr}, "RU", 7},
    {{"CN", nullptr, nullptr}, "CN", 86},  {{"SK", nullptr, nullptr}, "SK", 421},
    {{"ITALY", "IT", nullptr}, "IT", 39},  {{"SPAIN", "ESPANOL", "ES"}, "ES", 34},
    {{"SA", nullptr, nullptr}, "SA", 966}, {{"HU", nullptr, nullptr}, "HU", 36},
    {{"RO", nullptr, nullptr}, "RO", 40},  {{"FR", nullptr, nullptr}, "FR", 33},
};

QString LanguageFileName(const QString& code) {
  return ProgramFolder() + QString::fromLatin1(ApplicationTitle) + '_' + code + ".xml";
}

}  // namespace

QString LanguageOfCountry(int countryCode) {
  for (const CountryLanguage& c : kCountryLanguageMap) {
    if (c.country == countryCode) return QString::fromLatin1(c.language);
  }
  return QStringLiteral("US");
}

std::unique_ptr<tInterfejs> tInterfejs::Create() {
  auto instance = std::make_unique<tInterfejs>();
  instance->rightToLeft_ = false;
  instance->loaded_ = instance->DetectLanguage();
  return instance;
}

bool tInterfejs::DetectLanguage() { return DetectLanguage(platform::SystemCountryCode()); }

bool tInterfejs::DetectLanguage(int countryCode) {
  DealerId.clear();
  bool known = false;
  for (const CountryLanguage& c : kCountryLanguageMap) known = known || c.country == countryCode;
  countryCode_ = known ? countryCode : 1;
  languageCode_ = LanguageOfCountry(countryCode_);
  if (known && countryCode == 1) DealerId = "TARVIK";

  if (!CommandLineArguments().isEmpty()) {
    for (const LanguageSwitch& s : kSwitchTable) {
      for (const char* word : s.switches) {
        if (word != nullptr && HasSwitch(QString::fromLatin1(word))) {
          languageCode_ = QString::fromLatin1(s.language);
          countryCode_ = s.country;
        }
      }
    }
  }
  return LoadLanguage(languageCode_);
}

bool tInterfejs::LoadLanguage(const QString& languageCode) {
  QString name = LanguageFileName(languageCode);
  if (!QFileInfo::exists(name)) {
    name = LanguageFileName(QStringLiteral("US"));
    if (!QFileInfo::exists(name)) {
      ConfigError("Application could't work without file: ", name);
      return false;
    }
  }
  return LoadFile(name);
}

bool tInterfejs::LoadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    // Present but unreadable: the program cannot run on it any more than on a
    // damaged one, and the operator must see which file it is.
    ConfigError("Corruption detected in file: ", path);
    loaded_ = false;
    return false;
  }
  return CheckAndKeep(f.readAll(), path);
}

bool tInterfejs::LoadFromString(const QByteArray& xml, const QString& fileName) {
  return CheckAndKeep(xml, fileName);
}

bool tInterfejs::CheckAndKeep(const QByteArray& xml, const QString& fileName) {
  loaded_ = false;
  root_ = QDomElement();
  document_ = QDomDocument();
  texts_.clear();
  QDomDocument doc;
  // A document the parser rejects has no usable root either: it is reported
  // the same way, and the program then ends on the result.
  const bool parsed = static_cast<bool>(doc.setContent(xml));
  const QDomElement root = parsed ? doc.documentElement() : QDomElement();
  if (root.isNull()) {
    ConfigError("Corruption detected in file: ", fileName);
    return false;
  }
  if (root.tagName() != QLatin1String("interface") || !root.hasAttribute(QStringLiteral("name")) ||
      !root.hasAttribute(QStringLiteral("version"))) {
    ConfigError("Invalid file structure: ", fileName);
    return false;
  }
  if (root.attribute(QStringLiteral("name")).toUpper() !=
          QString::fromLatin1(ApplicationTitle).toUpper() ||
      root.attribute(QStringLiteral("version")) !=
          QString::fromLatin1(GetExeVersion(false, false))) {
    ConfigError("Incompatibile file version: ", fileName);
    return false;
  }
  document_ = doc;
  root_ = root;
  CollectTexts();
  loaded_ = true;
  return true;
}

void tInterfejs::CollectTexts() {
  texts_.clear();
  const QString str = QStringLiteral("str");
  for (QDomElement s = root_.firstChildElement(); !s.isNull(); s = s.nextSiblingElement()) {
    if (texts_.contains(s.tagName())) continue;  // a repeated section is never looked at
    auto& keys = texts_[s.tagName()];
    for (QDomElement k = s.firstChildElement(); !k.isNull(); k = k.nextSiblingElement()) {
      if (keys.contains(k.tagName())) continue;
      keys.insert(k.tagName(),
                  k.hasAttribute(str) ? std::optional<QString>(k.attribute(str)) : std::nullopt);
    }
  }
}

QString tInterfejs::Translate(const char* section, const char* key) const {
  return Translate(QString::fromLatin1(section), QString::fromLatin1(key));
}

QString tInterfejs::Translate(QStringView section, QStringView key) const {
  static const QString kError = QStringLiteral("error");
  const auto s = texts_.constFind(section.toString());
  if (s == texts_.cend()) return kError;
  const auto k = s->constFind(key.toString());
  if (k == s->cend() || !k->has_value()) return kError;
  return **k;
}

tInterfejs* Interfejs() { return g_instance.get(); }

std::unique_ptr<tInterfejs> InstallInterfejs(std::unique_ptr<tInterfejs> instance) {
  std::swap(g_instance, instance);
  return instance;
}

bool InstallLanguageFile(const QString& path) {
  auto instance = std::make_unique<tInterfejs>();
  const bool ok = instance->LoadFile(path);
  InstallInterfejs(std::move(instance));
  return ok;
}

bool InstallLanguageString(const QByteArray& xml) {
  auto instance = std::make_unique<tInterfejs>();
  const bool ok = instance->LoadFromString(xml);
  InstallInterfejs(std::move(instance));
  return ok;
}

QString Tr(const char* section, const char* key) {
  return g_instance ? g_instance->Translate(section, key) : QStringLiteral("error");
}

QString Tr(QStringView section, QStringView key) {
  return g_instance ? g_instance->Translate(section, key) : QStringLiteral("error");
}

}  // namespace vm
