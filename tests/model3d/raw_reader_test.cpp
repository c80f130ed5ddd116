// Reading .RAW models: which lines are triangles, units, extents, sizes and
// centre, and what a missing or empty file publishes.
#include "model3d/raw_reader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>

#include "drawing/definicje.h"
#include "shell/interfejs.h"
#include "support/test_support.h"
#include "worker_fixture.h"

namespace vm {
namespace {

class RawReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawingGlobals();
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDrawingGlobals();
  }
  QString Write(const QByteArray& text) {
    const QString path = dir_.filePath(QStringLiteral("model.raw"));
    EXPECT_TRUE(test::WriteAll(path, text));
    return path;
  }
  QTemporaryDir dir_;
};

struct LineCase {
  const char* line;
  bool triangle;
  float x1 = 0, y1 = 0, z1 = 0, z3 = 0;  // when a triangle
};

TEST_F(RawReaderTest, LinesThatAreTrianglesAndLinesThatAreNot) {
  const LineCase cases[] = {
      {"1 2 3 4 5 6 7 8 9", true, 1, 2, 3, 9},
      {" 1 2 3 4 5 6 7 8 9", true, 1, 2, 3, 9},  // one leading blank
      {"-1.5 +2 .5 4 5 6 7 8 9.", true, -1.5f, 2, 0.5f, 9},
      {"1.5e1 2E-1 3e+0 4 5 6 7 8 9", true, 15, 0.2f, 3, 9},
      {"1  2 3 4 5 6 7 8 9", false},    // two blanks: an empty token
      {"1 2 3 4 5 6 7 8", false},       // eight numbers
      {"1 2 3 4 5 6 7 8 9 10", false},  // ten numbers
      {"  1 2 3 4 5 6 7 8 9", false},   // two leading blanks: ten tokens
      {"1 2 3 4 5 6 7 8 9 ", false},    // a trailing blank: ten tokens
      {"1,5 2 3 4 5 6 7 8 9", false},   // comma is no decimal point
      {"1\t2 3 4 5 6 7 8 9 0", false},
      {"inf 2 3 4 5 6 7 8 9", false},
      {"nan 2 3 4 5 6 7 8 9", false},
      {"1e39 2 3 4 5 6 7 8 9", false},  // beyond a Single
      {"1e400 2 3 4 5 6 7 8 9", false},
      {"1e 2 3 4 5 6 7 8 9", false},
      {". 2 3 4 5 6 7 8 9", false},
      {"- 2 3 4 5 6 7 8 9", false},
      {"0x1 2 3 4 5 6 7 8 9", false},
      {"", false},
      {"   \t ", false},
  };
  TRAWodczytWatek reader(0, nullptr);
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.line);
    TRawTrojkat t;
    t.X1 = 99;
    ASSERT_EQ(reader.ParsujLinie(c.line, t), c.triangle);
    if (c.triangle) {
      EXPECT_FLOAT_EQ(t.X1, c.x1);
      EXPECT_FLOAT_EQ(t.Y1, c.y1);
      EXPECT_FLOAT_EQ(t.Z1, c.z1);
      EXPECT_FLOAT_EQ(t.Z3, c.z3);
    } else {
      EXPECT_EQ(t.X1, 0);  // the record is zeroed
    }
  }
}

TEST_F(RawReaderTest, UnitOfTheFileIsConvertedToMillimetres) {
  const struct {
    int unit;
    float factor;
  } units[] = {{0, 1}, {1, 25.4f}, {2, 304.8f}, {7, 0}};
  for (const auto& u : units) {
    TRAWodczytWatek reader(u.unit, nullptr);
    TRawTrojkat t;
    ASSERT_TRUE(reader.ParsujLinie("1 2 3 4 5 6 7 8 9", t));
    EXPECT_FLOAT_EQ(t.X1, 1 * u.factor);
    EXPECT_FLOAT_EQ(t.Y2, 5 * u.factor);
    EXPECT_FLOAT_EQ(t.Z3, 9 * u.factor);
  }
  // A value that fits a Single in inches but not in mm is refused.
  TRAWodczytWatek inch(1, nullptr);
  TRawTrojkat t;
  EXPECT_FALSE(inch.ParsujLinie("3e37 2 3 4 5 6 7 8 9", t));
}

TEST_F(RawReaderTest, ThreadPublishesTrianglesExtentsSizesAndCentre) {
  ModelExtents.FileName = Write(
      "Object1\r\n"
      "-5 0 2 5 0 2 0 20 4\r\n"
      "1 2 3 4 5 6 7 8 9 Object\r\n"  // nine numbers, but an object line
      "100 100 100 100 100\r\n"
      "\r\n"
      "0 10 3 1 1 3 2 2 3\n"  // LF ending
      "0 1 3 0 1 3 0 1 3");   // no ending at all
  auto* reader = new TRAWodczytWatek(0, nullptr);
  reader->FreeOnTerminate = true;
  QPointer<TRAWodczytWatek> alive(reader);
  bool ranHere = false;
  reader->OnTerminate = [&] { ranHere = QThread::currentThread() == qApp->thread(); };
  ASSERT_TRUE(test::RunToCompletion(*reader));
  EXPECT_TRUE(ranHere);
  EXPECT_EQ(reader->Outcome(), TRAWodczytWatek::TOutcome::Read);
  EXPECT_TRUE(reader->ErrorText().isEmpty());

  ASSERT_EQ(ModelTriangles.size(), 3u);
  EXPECT_FLOAT_EQ(ModelTriangles[0].X1, -5);
  EXPECT_FLOAT_EQ(ModelTriangles[0].Y3, 20);
  EXPECT_FLOAT_EQ(ModelTriangles[2].Y2, 1);
  EXPECT_DOUBLE_EQ(ModelExtents.MinX, -5);
  EXPECT_DOUBLE_EQ(ModelExtents.MaxX, 5);
  EXPECT_DOUBLE_EQ(ModelExtents.MinY, 0);
  EXPECT_DOUBLE_EQ(ModelExtents.MaxY, 20);
  EXPECT_DOUBLE_EQ(ModelExtents.MinZ, 2);
  EXPECT_DOUBLE_EQ(ModelExtents.MaxZ, 4);
  EXPECT_FLOAT_EQ(ModelSize[0], 10);
  EXPECT_FLOAT_EQ(ModelSize[1], 20);
  EXPECT_FLOAT_EQ(ModelSize[2], 2);
  EXPECT_DOUBLE_EQ(ModelCentreX, 0);
  EXPECT_DOUBLE_EQ(ModelCentreY, 10);
  EXPECT_DOUBLE_EQ(ModelCentreZ, 3);

  // FreeOnTerminate: the worker deletes itself after its completion call.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

TEST_F(RawReaderTest, FileThatCannotBeReadPublishesNothingAndSaysSo) {
  ModelExtents.MaxX = 7;
  ModelSize[1] = 3;
  ModelTriangles.push_back({});
  for (const QString& name : {dir_.filePath("missing.raw"), dir_.path()}) {
    ModelExtents.FileName = name;
    TRAWodczytWatek reader(0, nullptr);
    ASSERT_TRUE(test::RunToCompletion(reader));
    EXPECT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::ReadError);
    EXPECT_EQ(reader.ErrorText(), Tr("Universal", "zbioruNieMoznaOtworzyc") + name);
    EXPECT_EQ(ModelTriangles.size(), 1u);
    EXPECT_EQ(ModelExtents.MaxX, 7);
    EXPECT_EQ(ModelSize[1], 3);
  }
}

// Every number fits a Single, but the model spans more than one holds: its
// size would be infinite. It is refused with its message and nothing of it is
// published.
TEST_F(RawReaderTest, ModelWhoseSizeExceedsASingleIsRefused) {
  ModelExtents.MaxX = 7;
  ModelSize[0] = 3;
  ModelTriangles.push_back({});
  for (const char* text :
       {"3e38 0 0 -3e38 0 0 0 0 0\n", "1 2 3 4 5 6 7 8 9\n0 0 -3.4e38 0 0 3.4e38 0 0 0\n"}) {
    ModelExtents.FileName = Write(text);
    TRAWodczytWatek reader(0, nullptr);
    ASSERT_TRUE(test::RunToCompletion(reader));
    EXPECT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::TooLarge) << text;
    EXPECT_EQ(reader.ErrorText(), Tr("SerialCutFrom3D", "modelZaDuzy") + ModelExtents.FileName);
    EXPECT_EQ(ModelTriangles.size(), 1u);
    EXPECT_EQ(ModelExtents.MaxX, 7);
    EXPECT_EQ(ModelSize[0], 3);
  }
}

TEST_F(RawReaderTest, ModelWithoutTrianglesHasZeroExtentsAndIsReported) {
  ModelExtents.FileName = Write("Object1\n1 2 3\nnot a number\n");
  ModelExtents.MinX = 4;
  ModelTriangles.push_back({});
  TRAWodczytWatek reader(0, nullptr);
  ASSERT_TRUE(test::RunToCompletion(reader));
  EXPECT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::Empty);
  EXPECT_EQ(reader.ErrorText(), Tr("SerialCutFrom3D", "modelPusty") + ModelExtents.FileName);
  EXPECT_TRUE(ModelTriangles.empty());
  EXPECT_EQ(ModelExtents.MinX, 0);
  EXPECT_EQ(ModelExtents.MaxZ, 0);
  EXPECT_EQ(ModelSize[0], 0);
  EXPECT_EQ(ModelCentreY, 0);
}

TEST_F(RawReaderTest, LargeFileReadInBlocksKeepsEveryLineInOrder) {
  // Lines of every ending, object lines and junk, read in blocks of 4 KB
  // parsed in pieces: the same triangles, in the same order, as the lines
  // parsed one by one.
  const char* endings[] = {"\n", "\r\n", "\r"};
  QByteArray text;
  QList<QByteArray> lines;
  for (int k = 0; k < 3000; ++k) {
    QByteArray line;
    if (k % 97 == 0) {
      line = "Object" + QByteArray::number(k);
    } else if (k % 89 == 0) {
      line = "not a triangle";
    } else {
      for (int v = 0; v < 9; ++v) {
        if (v) line += ' ';
        line += QByteArray::number(double(k) / 7 + v * 0.5 - 300, 'f', 3);
      }
    }
    lines << line;
    text += line + endings[k % 3];
  }
  text += "1 2 3 4 5 6 7 8 9";  // the last line has no ending
  lines << "1 2 3 4 5 6 7 8 9";
  TRAWodczytWatek one(0, nullptr);
  std::vector<TRawTrojkat> expected;
  for (const QByteArray& line : lines) {
    TRawTrojkat t;
    if (!line.contains("Object") && one.ParsujLinie(line.toStdString(), t)) expected.push_back(t);
  }

  ModelExtents.FileName = Write(text);
  const qint64 block = TRAWodczytWatek::BlockBytes;
  TRAWodczytWatek::BlockBytes = 4096;
  TRAWodczytWatek reader(0, nullptr);
  const bool done = test::RunToCompletion(reader);
  TRAWodczytWatek::BlockBytes = block;
  ASSERT_TRUE(done);
  ASSERT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::Read);
  ASSERT_EQ(ModelTriangles.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(std::memcmp(&ModelTriangles[k], &expected[k], sizeof(TRawTrojkat)), 0) << k;
  }
  EXPECT_DOUBLE_EQ(ModelExtents.MinX, one.MinX());
  EXPECT_DOUBLE_EQ(ModelExtents.MaxZ, one.MaxZ());
  EXPECT_EQ(reader.BytesRead(), text.size());
}

TEST_F(RawReaderTest, StoppedReaderPublishesNothing) {
  ModelExtents.FileName = Write(QByteArray("1 2 3 4 5 6 7 8 9\n").repeated(20000));
  ModelExtents.MaxX = 7;
  for (const bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "closing" : "terminated");
    TRAWodczytWatek reader(0, nullptr);
    if (closing)
      AppClosing = true;
    else
      reader.Terminate();
    ASSERT_TRUE(test::RunToCompletion(reader));
    AppClosing = false;
    EXPECT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::Stopped);
    EXPECT_TRUE(reader.ErrorText().isEmpty());
    EXPECT_TRUE(ModelTriangles.empty());
    EXPECT_EQ(ModelExtents.MaxX, 7);
  }
}

TEST_F(RawReaderTest, ModelOfOnePointIsRefused) {
  ModelExtents.FileName = Write("2 2 2 2 2 2 2 2 2\nObject\n2 2 2 2 2 2 2 2 2\n");
  ModelExtents.MaxX = 7;
  TRAWodczytWatek reader(0, nullptr);
  ASSERT_TRUE(test::RunToCompletion(reader));
  EXPECT_EQ(reader.Outcome(), TRAWodczytWatek::TOutcome::Point);
  EXPECT_EQ(reader.ErrorText(), Tr("SerialCutFrom3D", "modelPunktowy") + ModelExtents.FileName);
  EXPECT_TRUE(ModelTriangles.empty());
  EXPECT_EQ(ModelExtents.MaxX, 7);
}

}  // namespace
}  // namespace vm
