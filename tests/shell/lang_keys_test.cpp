// Every text the code looks up exists in both language files, and both files
// pass the loader's checks.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm {
namespace {

// Resolved as text: the fixture folder need not exist for the sources to be found.
const QString kRoot = QDir::cleanPath(QStringLiteral(VM_TEST_DATA_DIR "/../.."));
const QStringList kLanguageFiles = {kRoot + "/lang/Velmarosta_US.xml",
                                    kRoot + "/lang/Velmarosta_PL.xml"};

struct Use {
  QString section, key, where;
};

// (section, key) of every Tr, Translate and MessageError call with two
// string literals in `text`, and of every other pair of literals whose first
// names a section: texts handed to a helper ("Fail("Control", "key")") or
// kept in a table are looked up as well.
QList<Use> LookupsInText(const QString& text, const QString& where) {
  static const QRegularExpression call(
      R"re(\b(?:Tr|Translate|MessageError)\(\s*"([^"\\]+)"\s*,\s*"([^"\\]+)"|"(Main_window|Configuration|Universal|Control|Project_window|SerialCutFrom3D|Transmission|Duplication_parameters|Arch_cutting|Serial_cut|About|Move_wire|ModelInfo|Info|Base_points)"\s*,\s*"([^"\\]+)")re");
  QList<Use> uses;
  for (auto m = call.globalMatch(text); m.hasNext();) {
    const auto match = m.next();
    const int line = text.left(match.capturedStart()).count('\n') + 1;
    const bool call = match.capturedStart(1) >= 0;
    uses.append({match.captured(call ? 1 : 3), match.captured(call ? 2 : 4),
                 where + ":" + QString::number(line)});
  }
  return uses;
}

QList<Use> LookupsInSources() {
  QList<Use> uses;
  QDirIterator it(kRoot + "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    uses += LookupsInText(QString::fromUtf8(test::ReadAll(path)), path.mid(kRoot.size() + 1));
  }
  return uses;
}

TEST(LanguageFiles, ScannerFindsEveryCallForm) {
  const QList<Use> uses = LookupsInText(
      "a = vm::Tr(\"Main_window\", \"File1.Caption\");\n"
      "throw MessageError(\n    \"Universal\",\"zbioruNieMoznaOtworzyc\", name);\n"
      "t.Translate( \"About\" , \"txtWer\" ); Tr(section, \"x\"); MyTr(\"A\", \"b\");\n"
      "return Fail(\"Control\", \"wykonajBazowanie\"); Pair(\"Other\", \"k\");",
      "f.cpp");
  ASSERT_EQ(uses.size(), 4);
  EXPECT_EQ(uses[0].section + "/" + uses[0].key, "Main_window/File1.Caption");
  EXPECT_EQ(uses[1].section + "/" + uses[1].key, "Universal/zbioruNieMoznaOtworzyc");
  EXPECT_EQ(uses[1].where, "f.cpp:2");
  EXPECT_EQ(uses[2].section + "/" + uses[2].key, "About/txtWer");
  EXPECT_EQ(uses[3].section + "/" + uses[3].key, "Control/wykonajBazowanie");
  EXPECT_EQ(uses[3].where, "f.cpp:5");
}

TEST(LanguageFiles, LoadThroughTheRealLoader) {
  for (const QString& file : kLanguageFiles) {
    ScopedMessageRecorder rec;
    tInterfejs t;
    EXPECT_TRUE(t.LoadFile(file)) << file.toStdString() << ": " << rec.lastText().toStdString();
  }
}

// Lookups take the first section and the first key of a name: a repeated one
// would hide its texts. Both files must also hold the same keys.
TEST(LanguageFiles, NoRepeatsAndSameKeysInBoth) {
  QList<QSet<QString>> keySets;
  for (const QString& file : kLanguageFiles) {
    SCOPED_TRACE(file.toStdString());
    QDomDocument doc;
    ASSERT_TRUE(static_cast<bool>(doc.setContent(test::ReadAll(file))));
    QSet<QString> sections, keys;
    for (QDomElement s = doc.documentElement().firstChildElement(); !s.isNull();
         s = s.nextSiblingElement()) {
      EXPECT_FALSE(sections.contains(s.tagName()))
          << "repeated section " << s.tagName().toStdString();
      sections.insert(s.tagName());
      for (QDomElement k = s.firstChildElement(); !k.isNull(); k = k.nextSiblingElement()) {
        const QString id = s.tagName() + "/" + k.tagName();
        EXPECT_FALSE(keys.contains(id)) << "repeated key " << id.toStdString();
        EXPECT_TRUE(k.hasAttribute("str")) << id.toStdString();
        keys.insert(id);
      }
    }
    keySets.append(keys);
  }
  ASSERT_EQ(keySets.size(), 2);
  for (const QString& id : keySets[0] - keySets[1])
    ADD_FAILURE() << "only in US: " << id.toStdString();
  for (const QString& id : keySets[1] - keySets[0])
    ADD_FAILURE() << "only in PL: " << id.toStdString();
}

// The program looks up some 260 distinct texts. A scan that finds far fewer has
// lost the sources (moved, renamed) or its pattern: the check below would then
// pass without checking anything.
constexpr qsizetype kLookupFloor = 250;

TEST(LanguageFiles, EveryLookupInTheCodeHasATextInBoth) {
  const QList<Use> uses = LookupsInSources();
  QSet<QString> distinct;
  for (const Use& u : uses) distinct.insert(u.section + "/" + u.key);
  ASSERT_GE(distinct.size(), kLookupFloor) << "sources scanned under " << kRoot.toStdString();
  for (const QString& file : kLanguageFiles) {
    ScopedMessageRecorder rec;
    tInterfejs t;
    ASSERT_TRUE(t.LoadFile(file));
    for (const Use& u : uses) {
      EXPECT_NE(t.Translate(u.section, u.key), "error")
          << file.section('/', -1).toStdString() << " lacks (" << u.section.toStdString() << ", "
          << u.key.toStdString() << ") used at " << u.where.toStdString();
    }
  }
}

}  // namespace
}  // namespace vm
