// Localisation: language choice, the language file and text lookup.
//
// Every text the operator sees is looked up by (section, key) in the XML
// language file beside the program ("Velmarosta_PL.xml", ...). The language is
// chosen from the system's telephone country code and the command-line
// switches. There is one instance (Interfejs()), created at the start of the
// main window's creation and kept until the program ends.
#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

namespace vm {

// Language code of a telephone country code ("US" for codes the table lacks).
QString LanguageOfCountry(int countryCode);

class tInterfejs {
 public:
  // Nothing loaded, no detection run, left to right.
  tInterfejs() = default;

  // The start-up creation: clears RightToLeft, runs DetectLanguage and keeps
  // its result as Loaded(). Shows its own message when no usable file exists.
  static std::unique_ptr<tInterfejs> Create();

  // Country code from the system, then the switch table of the command line,
  // then LoadLanguage with the resulting code. Clears vm::DealerId and presets
  // it to "TARVIK" for country code 1. Uses `countryCode` instead of the
  // system's when one is given.
  bool DetectLanguage();
  bool DetectLanguage(int countryCode);

  // Finds ProgramFolder() + "Velmarosta_" + code + ".xml" (falling back to
  // "US"), loads and checks it. On failure an error box with the caption
  // "Configuration error" says why and the result is false.
  bool LoadLanguage(const QString& languageCode);

  // Loads and checks one file (no fallback), as LoadLanguage does.
  bool LoadFile(const QString& path);

  // Loads and checks a document given as text; `fileName` names it in messages.
  bool LoadFromString(const QByteArray& xml, const QString& fileName = QStringLiteral("<memory>"));

  // Text of (section, key): attribute "str" of <section><key .../></section>;
  // "error" when the section, key or attribute is missing or nothing is loaded.
  // Only the first section and the first key of a name count. The texts are
  // gathered once when the file is loaded, so a lookup is a hash search and
  // never changes the object (safe from any thread).
  QString Translate(const char* section, const char* key) const;
  QString Translate(QStringView section, QStringView key) const;

  bool Loaded() const { return loaded_; }
  int CountryCode() const { return countryCode_; }
  const QString& LanguageCode() const { return languageCode_; }
  bool RightToLeft() const { return rightToLeft_; }
  void SetRightToLeft(bool on) { rightToLeft_ = on; }

 private:
  bool CheckAndKeep(const QByteArray& xml, const QString& fileName);
  void CollectTexts();

  QDomDocument document_;
  QDomElement root_;
  // Section -> key -> text; a key element without "str" is held without text
  // so that a later element of the same name cannot stand in for it.
  QHash<QString, QHash<QString, std::optional<QString>>> texts_;
  bool loaded_ = false;
  int countryCode_ = 1;
  bool rightToLeft_ = false;
  QString languageCode_ = QStringLiteral("US");
};

// The one instance, or nullptr before the main window has created it.
tInterfejs* Interfejs();

// Makes `instance` the one instance (nullptr removes it); returns the old one.
std::unique_ptr<tInterfejs> InstallInterfejs(std::unique_ptr<tInterfejs> instance);

// Tests and tools: installs an instance holding the given document (no
// detection). Returns whether the document passed the checks.
bool InstallLanguageFile(const QString& path);
bool InstallLanguageString(const QByteArray& xml);

// Translate on the one instance; "error" when there is none.
QString Tr(const char* section, const char* key);
QString Tr(QStringView section, QStringView key);

}  // namespace vm
