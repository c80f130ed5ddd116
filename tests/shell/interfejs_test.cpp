// Language choice, language-file checks and text lookup.
#include "shell/interfejs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "platform/country_code.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "support/test_support.h"

namespace vm {
namespace {

QByteArray LanguageXml(const QByteArray& marker, const QByteArray& root = "interface",
                       const QByteArray& attrs = R"(name="Velmarosta" version="1.0")") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + " " + attrs +
         ">\n  <Universal>\n    <lang str=\"" + marker + "\"/>\n    <nostr/>\n  </Universal>\n</" +
         root + ">\n";
}

// A program folder holding the language files of the given codes.
class LanguageFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ExeDir = dir_.path() + "/";
    ResetCommandLine();
  }
  void TearDown() override {
    ResetDrawingGlobals();
    ResetCommandLine();
    platform::SetCountryCodeOverride(std::nullopt);
    InstallInterfejs(nullptr);
  }
  QString Path(const QString& code) const { return ExeDir + "Velmarosta_" + code + ".xml"; }
  void Write(const QString& code, const QByteArray& xml) {
    ASSERT_TRUE(test::WriteAll(Path(code), xml));
  }
  void WriteLanguages(std::initializer_list<const char*> codes) {
    for (const char* c : codes) Write(c, LanguageXml(c));
  }

  QTemporaryDir dir_;
};

TEST_F(LanguageFolder, DetectionTable) {
  WriteLanguages({"US", "PL", "FR", "DE", "SA"});
  struct Case {
    int country;
    QStringList args;
    const char* language;
    int code;
    const char* dealer;
  };
  const Case cases[] = {
      {44, {}, "US", 1, ""},
      {1, {}, "US", 1, "TARVIK"},
      {1, {"PL"}, "PL", 48, "TARVIK"},
      {48, {}, "PL", 48, ""},
      {49, {"pl"}, "PL", 48, ""},
      {44, {"FR", "DE"}, "FR", 33, ""},
      {44, {"DE", "FR"}, "FR", 33, ""},
      {48, {"GB"}, "US", 1, ""},
      {44, {"polska", "ESPANOL"}, "ES", 34, ""},
      {966, {}, "SA", 966, ""},
      {48, {"PLX", "D:ABC"}, "PL", 48, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.country << " " << c.args.join(' ').toStdString());
    SetCommandLine(c.args);
    DealerId = "OLD";
    ScopedMessageRecorder rec;
    tInterfejs t;
    const bool loaded = t.DetectLanguage(c.country);
    EXPECT_EQ(t.LanguageCode(), c.language);
    EXPECT_EQ(t.CountryCode(), c.code);
    EXPECT_EQ(DealerId, c.dealer);
    // ES has no file here: it falls back to US silently.
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(rec.requests.isEmpty());
  }
}

TEST_F(LanguageFolder, CreateUsesSystemCountryAndLoadsTexts) {
  WriteLanguages({"US", "PL"});
  platform::SetCountryCodeOverride(48);
  ScopedMessageRecorder rec;
  auto t = tInterfejs::Create();
  EXPECT_TRUE(t->Loaded());
  EXPECT_FALSE(t->RightToLeft());
  EXPECT_EQ(t->Translate("Universal", "lang"), "PL");
  InstallInterfejs(std::move(t));
  EXPECT_EQ(Tr("Universal", "lang"), "PL");
  EXPECT_TRUE(rec.requests.isEmpty());
}

TEST_F(LanguageFolder, ChosenLanguageMissingFallsBackToUsWithoutMessage) {
  WriteLanguages({"US"});
  SetCommandLine({"PL"});
  ScopedMessageRecorder rec;
  tInterfejs t;
  ASSERT_TRUE(t.DetectLanguage(1));
  EXPECT_EQ(t.Translate("Universal", "lang"), "US");
  EXPECT_TRUE(rec.requests.isEmpty());
}

TEST_F(LanguageFolder, NoFileAtAllNamesTheUsFile) {
  ScopedMessageRecorder rec;
  tInterfejs t;
  EXPECT_FALSE(t.LoadLanguage("PL"));
  ASSERT_EQ(rec.requests.size(), 1);
  EXPECT_EQ(rec.lastText(), "Application could't work without file: \r\n" + Path("US"));
  EXPECT_EQ(rec.requests[0].caption, "Configuration error");
  EXPECT_EQ(rec.requests[0].icon, MessageIcon::Error);
}

TEST_F(LanguageFolder, FileChecks) {
  struct Case {
    const char* what;
    QByteArray xml;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"valid", LanguageXml("US"), nullptr},
      {"title in small letters",
       LanguageXml("US", "interface", R"(name="velmarosta" version="1.0")"), nullptr},
      {"root with capital I", LanguageXml("US", "Interface"), "Invalid file structure: "},
      {"no name", LanguageXml("US", "interface", R"(version="1.0")"), "Invalid file structure: "},
      {"no version", LanguageXml("US", "interface", R"(name="Velmarosta")"),
       "Invalid file structure: "},
      {"foreign program", LanguageXml("US", "interface", R"(name="Other" version="1.0")"),
       "Incompatibile file version: "},
      {"third version part", LanguageXml("US", "interface", R"(name="Velmarosta" version="1.0.0")"),
       "Incompatibile file version: "},
      {"other version", LanguageXml("US", "interface", R"(name="Velmarosta" version="1.1")"),
       "Incompatibile file version: "},
      {"parser rejects it", "<interface name=\"Velmarosta\" version=\"1.0\"><Universal>",
       "Corruption detected in file: "},
      {"empty file", "", "Corruption detected in file: "},
      {"binary garbage", QByteArray("\x00\xff\xfe<", 4), "Corruption detected in file: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("US", c.xml);
    ScopedMessageRecorder rec;
    tInterfejs t;
    const bool ok = t.LoadLanguage("US");
    EXPECT_EQ(ok, c.message == nullptr);
    EXPECT_EQ(t.Translate("Universal", "lang"), ok ? "US" : "error");
    if (c.message == nullptr) {
      EXPECT_TRUE(rec.requests.isEmpty());
    } else {
      ASSERT_EQ(rec.requests.size(), 1);
      EXPECT_EQ(rec.lastText(), QString::fromLatin1(c.message) + "\r\n" + Path("US"));
      EXPECT_EQ(rec.requests[0].caption, "Configuration error");
      EXPECT_FALSE(rec.requests[0].rightToLeft);
    }
  }
}

// A damaged file must stop the start with a message naming it, never silently.
TEST_F(LanguageFolder, CreateWithUnparsableFileReportsCorruption) {
  Write("US", "<interface name=\"Velmarosta\"");
  platform::SetCountryCodeOverride(1);
  ScopedMessageRecorder rec;
  std::unique_ptr<tInterfejs> t;
  ASSERT_NO_THROW(t = tInterfejs::Create());
  EXPECT_FALSE(t->Loaded());
  ASSERT_EQ(rec.requests.size(), 1);
  EXPECT_EQ(rec.lastText(), "Corruption detected in file: \r\n" + Path("US"));
}

TEST(Translate, LookupRules) {
  ScopedMessageRecorder rec;
  ASSERT_TRUE(
      InstallLanguageString("<interface name=\"Velmarosta\" version=\"1.0\">"
                            "<Universal><txtWer str=\"version\"/><empty str=\"\"/><nostr/>"
                            "<dup str=\"first\"/><dup str=\"second\"/>"
                            "<late/><late str=\"second\"/></Universal>"
                            "<Universal><other str=\"x\"/></Universal>"
                            "</interface>"));
  struct Case {
    const char* section;
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"Universal", "txtWer", "version"}, {"Universal", "empty", ""},
      {"Universal", "missing", "error"},  {"Universal", "nostr", "error"},
      {"universal", "txtWer", "error"},   {"Universal", "TXTWER", "error"},
      {"Nowhere", "txtWer", "error"},     {"Universal", "dup", "first"},
      {"Universal", "other", "error"},    {"Universal", "late", "error"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tr(c.section, c.key), c.text) << c.section << "/" << c.key;
  }
  InstallInterfejs(nullptr);
  EXPECT_EQ(Tr("Universal", "txtWer"), "error");
  EXPECT_EQ(tInterfejs().Translate("Universal", "txtWer"), "error");
}

TEST(CountryCode, TerritoryTableAndDefault) {
  EXPECT_EQ(platform::TelephoneCodeOfTerritory(QLocale::Poland), 48);
  EXPECT_EQ(platform::TelephoneCodeOfTerritory(QLocale::SaudiArabia), 966);
  EXPECT_EQ(platform::TelephoneCodeOfTerritory(QLocale::AnyTerritory), 0);
  platform::SetCountryCodeOverride(421);
  EXPECT_EQ(platform::SystemCountryCode(), 421);
  platform::SetCountryCodeOverride(std::nullopt);
  EXPECT_GT(platform::SystemCountryCode(), 0);
}

}  // namespace
}  // namespace vm
