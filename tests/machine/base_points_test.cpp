// The base-points dialog: the point line and "base.txt" (round trip, lines
// that are no point, files that cannot be read or written), the enable
// rules of the list and the move to a point.
#include "machine/base_points.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "drawing/definicje.h"
#include "drawing/units.h"
#include "shell/interfejs.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm::test {
namespace {

struct Move {
  bool wait;
  int slot;
  double x, y, z;
};

class BasePointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawingGlobals();
    ResetPunkty_bazowe();
    ASSERT_TRUE(dir.isValid());
    ExeDir = dir.path() + "/";
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/Velmarosta_US.xml")));
  }
  void TearDown() override {
    ResetPunkty_bazowe();
    ResetDrawingGlobals();
    InstallInterfejs(nullptr);
    QLocale::setDefault(QLocale::c());
  }

  // The dialog as the program creates it, with its move and closing recorded.
  TPunkty_bazowe& Create() {
    TPunkty_bazowe& d = Punkty_bazowe();
    d.hooks.Close = [this](ModalResult r) { closed.push_back(r); };
    d.hooks.GoToPoint = [this](bool wait, std::uint8_t slot, double x, double y, double z) {
      moves.push_back({wait, slot, x, y, z});
      return true;
    };
    d.FormCreate();
    d.FormActivate();
    return d;
  }
  QString File() const { return dir.path() + "/base.txt"; }
  void SetWire(int x, int y) {
    PlotState.X = x;
    PlotState.Y = y;
  }

  QTemporaryDir dir;
  ScopedMessageRecorder messages;
  std::vector<ModalResult> closed;
  std::vector<Move> moves;
};

TEST(BasePointLine, FormatsFixedThreeDecimalsPaddedToNine) {
  struct {
    double x, y;
    const char* line;
  } const cases[] = {
      {1, 1, "X=    1.000   Y=    1.000"},
      {4800, 0, "X= 4800.000   Y=    0.000"},
      {-12.5, 2400, "X=  -12.500   Y= 2400.000"},
      {-123456.789, 0.0004, "X=-123456.789   Y=    0.000"},  // wider than 9: kept whole
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatBasePointLine(c.x, c.y), QString::fromLatin1(c.line));
    const auto read = ParseBasePointLine(FormatBasePointLine(c.x, c.y));
    ASSERT_TRUE(read) << c.line;
    EXPECT_NEAR(read->first, c.x, 5e-4);
    EXPECT_NEAR(read->second, c.y, 5e-4);
  }
  // The system's decimal comma is written, and reads on any system.
  QLocale::setDefault(QLocale(QLocale::Polish));
  EXPECT_EQ(FormatBasePointLine(1, 1), QString::fromLatin1(DefaultBasePointLine));
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(ParseBasePointLine(DefaultBasePointLine), std::make_pair(1.0, 1.0));
}

TEST(BasePointLine, LinesThatAreNoPoint) {
  for (const char* line :
       {"", "garbage", "X=    1,000", "Y=    1,000", "X=  abc   Y=    1,000",
        "X=    1,000   Y=  1,0,0", "X=      nan   Y=    1,000", "X=   1e999   Y=    1,000",
        // A value is the whole text between its label and the next one: a
        // prefix that happens to be a number is no point.
        "X=  1 000,0   Y=    1,000", "X=    1,000   Y=    1 000", "X=   12,5mm   Y=    1,000",
        "X=    1,000   Y=    2,000   Z=    3,000", "Q X=    1,000   Y=    1,000",
        "Y=    1,000   X=    1,000"}) {
    EXPECT_FALSE(ParseBasePointLine(QString::fromLatin1(line))) << line;
  }
}

TEST_F(BasePointsTest, WithoutAFileTheFormsPointIsKeptAndWrittenWithTheAddedOnes) {
  TPunkty_bazowe& d = Create();
  EXPECT_EQ(d.lista.Items, QStringList{DefaultBasePointLine});
  EXPECT_TRUE(d.UstawEnabled);
  EXPECT_FALSE(d.UsunEnabled);

  SetWire(1234, 5678);
  d.DodajClick();
  CurrentUnit = 1;
  SetWire(2540, 0);  // 1 inch
  d.DodajClick();
  EXPECT_EQ(d.lista.ItemIndex, 2);
  EXPECT_TRUE(d.lista.IsSelected(2));
  ASSERT_TRUE(d.FormDestroy());
  EXPECT_EQ(ReadAll(File()), QByteArray("X=    1,000   Y=    1,000\r\n"
                                        "X=   12.340   Y=   56.780\r\n"
                                        "X=    1.000   Y=    0.000\r\n"));

  // Read back at the next start; the inch point is taken in the unit current now.
  ResetPunkty_bazowe();
  CurrentUnit = 0;
  TPunkty_bazowe& again = Create();
  ASSERT_EQ(again.lista.Count(), 3);
  EXPECT_EQ(again.lista.ItemIndex, -1);
  again.lista.ItemIndex = 2;
  ASSERT_TRUE(again.PrzepiszClick());
  EXPECT_DOUBLE_EQ(again.PointX, 1.0);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(BasePointsTest, BadLinesAreKeptAndRefusedOnlyWhenUsed) {
  ASSERT_TRUE(WriteAll(File(), "garbage\n\nX=    2.000   Y=    3.000\rX=5,5 Y=6,25"));
  TPunkty_bazowe& d = Create();
  ASSERT_EQ(d.lista.Items,
            QStringList({"garbage", "", "X=    2.000   Y=    3.000", "X=5,5 Y=6,25"}));

  PlotState.Z = 777;
  d.lista.ItemIndex = 0;
  d.ustawClick();
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Base_points", "zlyPunkt") + "garbage");
  EXPECT_TRUE(moves.empty());
  EXPECT_TRUE(closed.empty());

  d.lista.ItemIndex = 3;
  d.listaDblClick();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_FALSE(moves[0].wait);
  EXPECT_EQ(moves[0].slot, 0);
  EXPECT_DOUBLE_EQ(moves[0].x, 5.5);
  EXPECT_DOUBLE_EQ(moves[0].y, 6.25);
  EXPECT_DOUBLE_EQ(moves[0].z, 777);
  EXPECT_EQ(closed, std::vector<ModalResult>{ModalResult::OK});

  // Every line goes back to the file, in the file's own line ends.
  ASSERT_TRUE(d.FormDestroy());
  EXPECT_EQ(ReadAll(File()),
            QByteArray("garbage\r\n\r\nX=    2.000   Y=    3.000\r\nX=5,5 Y=6,25\r\n"));
}

TEST_F(BasePointsTest, EveryChangeIsOnDiskAtOnce) {
  TPunkty_bazowe& d = Create();
  SetWire(1234, 5678);
  d.DodajClick();
  // No shut-down needed: a crash now keeps the point.
  EXPECT_EQ(ReadAll(File()), QByteArray("X=    1,000   Y=    1,000\r\n"
                                        "X=   12.340   Y=   56.780\r\n"));
  SetWire(-50, 0);
  d.DodajClick();
  EXPECT_EQ(ReadAll(File()).count("\r\n"), 3);
  d.lista.ItemIndex = 0;
  d.usunClick();
  EXPECT_EQ(ReadAll(File()), QByteArray("X=   12.340   Y=   56.780\r\n"
                                        "X=   -0.500   Y=    0.000\r\n"));
  d.usunClick();
  d.usunClick();
  EXPECT_EQ(ReadAll(File()), QByteArray());
  // The file is replaced whole: no temporary file is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"base.txt"});
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(BasePointsTest, ALineThatIsNotExactlyAPointIsRefusedByName) {
  ASSERT_TRUE(WriteAll(File(), "X=  1 000,0   Y=    1,000\r\n"));
  TPunkty_bazowe& d = Create();
  d.lista.ItemIndex = 0;
  d.ustawClick();
  EXPECT_TRUE(moves.empty());  // not sent to X = 1
  EXPECT_TRUE(closed.empty());
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Base_points", "zlyPunkt") + "X=  1 000,0   Y=    1,000");
}

TEST_F(BasePointsTest, InchPointsMoveInMm) {
  CurrentUnit = 1;
  ASSERT_TRUE(WriteAll(File(), "X=    2.000   Y=    0.500\r\n"));
  TPunkty_bazowe& d = Create();
  d.lista.ItemIndex = 0;
  d.ustawClick();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_DOUBLE_EQ(moves[0].x, 50.8);
  EXPECT_DOUBLE_EQ(moves[0].y, 12.7);
}

TEST_F(BasePointsTest, UnreadableFileIsReportedAndLeftAsItIs) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("base.txt"));
  TPunkty_bazowe& d = Create();
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_TRUE(messages.requests[0].text.startsWith(Tr("Base_points", "bladOdczytu")));
  EXPECT_EQ(d.lista.Items, QStringList{DefaultBasePointLine});
  d.DodajClick();  // kept in the list, the unread file left alone
  EXPECT_EQ(d.lista.Count(), 2);
  EXPECT_FALSE(d.FormDestroy());
  EXPECT_TRUE(QFileInfo(File()).isDir());
  EXPECT_EQ(messages.requests.size(), 1);
}

TEST_F(BasePointsTest, FailedWriteIsReportedAndKeepsWhatWasThere) {
  TPunkty_bazowe& d = Create();
  // Something that cannot be replaced by a file now stands where it is written.
  ASSERT_TRUE(WriteAll(File() + "/kept", "old"));
  EXPECT_FALSE(d.FormDestroy());
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Base_points", "bladZapisu") + File());
  EXPECT_EQ(ReadAll(File() + "/kept"), QByteArray("old"));
}

TEST_F(BasePointsTest, EnableRulesAndTheCurrentItem) {
  ASSERT_TRUE(WriteAll(File(), ""));
  TPunkty_bazowe& d = Create();
  EXPECT_EQ(d.lista.Count(), 0);
  EXPECT_FALSE(d.UstawEnabled);
  d.ustawClick();  // empty list: stays open
  EXPECT_TRUE(closed.empty());

  SetWire(100, 100);
  for (int i = 0; i < 3; ++i) d.DodajClick();
  // Adding enables nothing; a click on the list enables Go to and Delete.
  EXPECT_FALSE(d.UstawEnabled || d.UsunEnabled);
  EXPECT_FALSE(d.lista.IsSelected(1));
  d.listaClick();
  EXPECT_TRUE(d.UstawEnabled && d.UsunEnabled);

  // Deleting the last of several makes the new last one current.
  d.usunClick();
  EXPECT_EQ(d.lista.Count(), 2);
  EXPECT_EQ(d.lista.ItemIndex, 1);
  EXPECT_TRUE(d.lista.IsSelected(1));
  d.lista.ItemIndex = 0;
  d.usunClick();
  EXPECT_EQ(d.lista.ItemIndex, 0);
  EXPECT_TRUE(d.UstawEnabled && d.UsunEnabled);
  d.usunClick();
  EXPECT_EQ(d.lista.Count(), 0);
  EXPECT_FALSE(d.UstawEnabled);
  EXPECT_FALSE(d.UsunEnabled);

  // Items but none current: closes without a move. A click enables both.
  ASSERT_TRUE(WriteAll(File(), "X=    1.000   Y=    1.000\r\n"));
  ResetPunkty_bazowe();
  closed.clear();
  TPunkty_bazowe& other = Create();
  other.listaClick();
  EXPECT_TRUE(other.UstawEnabled && other.UsunEnabled);
  other.ustawClick();
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(closed, std::vector<ModalResult>{ModalResult::OK});
}

}  // namespace
}  // namespace vm::test
