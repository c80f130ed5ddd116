// Version text, file sizes, unit decimals, OS check and the document lookups.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/documents.h"
#include "shell/float_edit.h"
#include "shell/fltedit.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/os_check.h"
#include "shell/utilities.h"
#include "shell/version.h"
#include "support/test_support.h"

namespace vm {
namespace {

TEST(Version, Parts) {
  EXPECT_EQ(FormatVersion(3, 1, 0, 7, false, false), "3.1");
  EXPECT_EQ(FormatVersion(3, 1, 0, 7, true, false), "3.1.0");
  EXPECT_EQ(FormatVersion(3, 1, 0, 7, false, true), "3.1.7");
  EXPECT_EQ(FormatVersion(3, 1, 0, 7, true, true), "3.1.0.7");
  // The language files carry this version.
  EXPECT_EQ(GetExeVersion(false, false), "1.0");
  EXPECT_EQ(GetExeVersion(true, true).count('.'), 3);
}

TEST(FileSizeText, Thresholds) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    qint64 size;
    const char* text;
  };
  const Case cases[] = {
      {0, "0b"},           {1023, "1023b"},  {1024, "1KB"},    {1536, "2KB"},    {2560, "2KB"},
      {1048575, "1024KB"}, {1048576, "1MB"}, {2621440, "2MB"}, {3670016, "4MB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const QString path = dir.filePath("f.bin");
    ASSERT_TRUE(test::WriteAll(path, QByteArray(c.size, 'x')));
    EXPECT_EQ(FileSizeText(path), c.text);
  }
  EXPECT_THROW(FileSizeText(dir.filePath("missing.bin")), IoError);
}

TEST(Utilities, DecimalsDegreesAndFixedArrays) {
  EXPECT_EQ(DecimalsForUnits(0), 2);
  EXPECT_EQ(DecimalsForUnits(1), 2);
  EXPECT_EQ(DecimalsForUnits(2), 3);
  EXPECT_EQ(DecimalsForUnits(3), 1);
  EXPECT_EQ(DecimalsForUnits(-1), 1);
  EXPECT_DOUBLE_EQ(DegToRad(180), 3.14159265358979323846);

  char16_t array[81];
  std::fill_n(array, 81, u'#');
  WideToFixedArray(QString(100, 'a'), array, 79);
  EXPECT_EQ(std::count(array, array + 79, u'a'), 79);
  EXPECT_EQ(array[79], u'#');
  WideToFixedArray("ab", array, 79);
  EXPECT_EQ(array[1], u'b');
  EXPECT_EQ(std::count(array + 2, array + 79, u'\0'), 77);
}

TEST(Utilities, UnitsFromTheSettings) {
  Dlgkonfig().radiounit.SetItemIndex(2);
  EXPECT_EQ(DecimalsForUnits(), 3);
  ResetDlgkonfig();

  TFltEditU length("length");
  TFloatEditU other("other");  // a unit edit of another class keeps its unit
  CurrentUnit = 2;
  ApplyUnitsToForm({&length, nullptr, &other});
  EXPECT_EQ(length.sunit(), 2);
  EXPECT_EQ(other.sunit(), 0);
  ResetDrawingGlobals();
}

TEST(Utilities, MenuCaptionAsWindowTitle) {
  EXPECT_EQ(WithoutMnemonic("Project &info"), "Project info");
  EXPECT_EQ(WithoutMnemonic("Cut && &run"), "Cut & run");
  EXPECT_EQ(WithoutMnemonic("E&xit&"), "Exit");
  EXPECT_EQ(WithoutMnemonic("plain"), "plain");
}

TEST(OperatingSystem, NameFromOsRelease) {
  QTemporaryDir dir;
  const QString path = dir.filePath("os-release");
  ASSERT_TRUE(test::WriteAll(path,
                             "NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12\"\n"
                             "VERSION_ID=\"12.4\"\n# comment\n"));
  QString text;
  EXPECT_TRUE(CheckOperatingSystem(text, path));
  EXPECT_EQ(text, "Debian GNU/Linux 12 [ver. 12.4]\r\n");
  EXPECT_TRUE(CheckOperatingSystem(text, dir.filePath("none")));
  EXPECT_EQ(text, " [ver. 0.0]\r\n");
}

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ExeDir = dir_.path() + "/";
  }
  void TearDown() override {
    ResetDrawingGlobals();
    InstallInterfejs(nullptr);
  }
  // Detection keeps the chosen language code even when only the US file exists.
  void UsePolish() {
    ScopedMessageRecorder rec;
    const QByteArray xml = "<interface name=\"Velmarosta\" version=\"1.0\"/>";
    ASSERT_TRUE(test::WriteAll(ExeDir + "Velmarosta_US.xml", xml));
    auto t = std::make_unique<tInterfejs>();
    ASSERT_TRUE(t->DetectLanguage(48));
    ASSERT_EQ(t->LanguageCode(), "PL");
    InstallInterfejs(std::move(t));
  }
  void Touch(const QString& name) { ASSERT_TRUE(test::WriteAll(ExeDir + name, "%PDF")); }
  QString At(const QString& name) const { return ExeDir + name; }

  QTemporaryDir dir_;
};

TEST_F(Documents, ManualWithoutDealer) {
  QString name;
  EXPECT_FALSE(FindManualFile(name));
  EXPECT_EQ(name, At("Quorlin_manual_US.pdf"));
  Touch("Quorlin_manual_US.pdf");
  EXPECT_TRUE(FindManualFile(name));
  EXPECT_EQ(name, At("Quorlin_manual_US.pdf"));
  DealerId = "CORVANTA";  // the maker itself: no dealer
  EXPECT_TRUE(FindManualFile(name));
  EXPECT_EQ(name, At("Quorlin_manual_US.pdf"));
}

TEST_F(Documents, ManualAndCatalogueWithDealer) {
  DealerId = "ACME";
  QString name = "stale";
  EXPECT_FALSE(FindManualFile(name));
  EXPECT_TRUE(name.isEmpty());
  Touch("Quorlin_manual_US_ACME.pdf");
  Touch("Catalogue_US_ACME.pdf");
  Touch("Catalogue_US.pdf");
  EXPECT_TRUE(FindManualFile(name));
  EXPECT_EQ(name, At("Quorlin_manual_US_ACME.pdf"));
  EXPECT_TRUE(FindCatalogueFile(name));
  EXPECT_EQ(name, At("Catalogue_US_ACME.pdf"));
  DealerId.clear();
  EXPECT_FALSE(FindDealerCatalogueFile(name));
  EXPECT_TRUE(name.isEmpty());
  EXPECT_TRUE(FindCatalogueFile(name));
  EXPECT_EQ(name, At("Catalogue_US.pdf"));
}

TEST_F(Documents, LanguageFirstThenUsFallback) {
  UsePolish();
  DealerId = "ACME";
  Touch("Catalogue_PL_ACME.pdf");
  Touch("Catalogue_US_ACME.pdf");
  Touch("Quorlin_manual_PL.pdf");
  QString name;
  EXPECT_TRUE(FindDealerCatalogueFile(name));
  EXPECT_EQ(name, At("Catalogue_PL_ACME.pdf"));
  DealerId = "CORVANTA";  // the maker itself counts as no dealer
  EXPECT_FALSE(FindCatalogueFile(name));
  EXPECT_EQ(name, At("Catalogue_US.pdf"));
  EXPECT_TRUE(FindManualFile(name));
  EXPECT_EQ(name, At("Quorlin_manual_PL.pdf"));
}

TEST_F(Documents, SamplesFolder) {
  QString folder;
  EXPECT_FALSE(FindSamplesFolder(folder));
  EXPECT_EQ(folder, At("Samples"));
  ASSERT_TRUE(QDir(ExeDir).mkdir("Projekty probne"));
  EXPECT_FALSE(FindSamplesFolder(folder));  // not Polish
  UsePolish();
  EXPECT_TRUE(FindSamplesFolder(folder));
  EXPECT_EQ(folder, At("Projekty probne"));
  ASSERT_TRUE(QDir(ExeDir).rmdir("Projekty probne"));
  ASSERT_TRUE(QDir(ExeDir).mkdir("Samples"));
  EXPECT_TRUE(FindSamplesFolder(folder));
  EXPECT_EQ(folder, At("Samples"));
}

}  // namespace
}  // namespace vm
