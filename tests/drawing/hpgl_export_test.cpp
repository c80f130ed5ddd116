// HPGL export: the exact text of a small project, its reading back by the
// drawing reader, and the file layer's failures.
#include "drawing/hpgl_export.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "support/test_support.h"

namespace vm {
namespace {

using Figures = std::vector<std::unique_ptr<tfigura>>;

Figures MakeFigures(const std::vector<std::vector<TPointI>>& runs) {
  Figures out;
  for (const auto& points : runs) {
    auto f = std::make_unique<tfigura>();
    f->Points = points;
    out.push_back(std::move(f));
  }
  return out;
}

// Negative coordinates, a one-point figure, an empty figure between two runs,
// and a null entry.
Figures SmallProject() {
  Figures f = MakeFigures({{{-40, 120}, {0, 0}, {2147483647, -2147483647 - 1}},
                           {{7, 7}},
                           {},
                           {{0, 0}, {400, 0}, {400, 400}, {0, 400}, {0, 0}}});
  f.push_back(nullptr);
  return f;
}

const QByteArray kSmallProjectText =
    "PA -40,120;\r\n"
    "PD 0,0;\r\n"
    "PD 2147483647,-2147483648;\r\n"
    "PU;\r\n"
    "PA 7,7;\r\n"
    "PU;\r\n"
    "PA 0,0;\r\n"
    "PD 400,0;\r\n"
    "PD 400,400;\r\n"
    "PD 0,400;\r\n"
    "PD 0,0;\r\n"
    "PU;\r\n";

TEST(HpglExport, WritesTheExactLinesOfASmallProject) {
  EXPECT_EQ(HpglExportText(SmallProject()), kSmallProjectText);
  EXPECT_EQ(HpglExportText(Figures{}), QByteArray());

  QTemporaryDir dir;
  const QString path = dir.filePath("out.plt");
  // An existing longer file is replaced, not overwritten in place.
  ASSERT_TRUE(test::WriteAll(path, QByteArray(4096, 'x')));
  SaveFiguresAsHpgl(SmallProject(), path);
  EXPECT_EQ(test::ReadAll(path), kSmallProjectText);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.plt"});
}

TEST(HpglExport, TheReaderReadsTheExportBackToTheSameFigures) {
  // Figures of many points cross the writer's block size.
  std::vector<std::vector<TPointI>> runs = {{{-40, 120}, {0, 0}, {100, -5}},
                                            {{0, 0}, {400, 0}, {400, 400}, {0, 0}}};
  std::vector<TPointI> zigzag;
  for (int i = 0; i < 10000; ++i) zigzag.push_back({i * 3, (i % 2) * 1000 - 500});
  runs.push_back(zigzag);

  QTemporaryDir dir;
  const QString path = dir.filePath("back.plt");
  SaveFiguresAsHpgl(MakeFigures(runs), path);

  Thpgl reader;
  ASSERT_EQ(reader.Open(path, 1), 0);
  std::vector<std::vector<TPointI>> read;
  for (int calls = 0; !reader.AtEof && calls < 100; ++calls) {
    tfigura f;
    reader.ReadFigure(f);
    if (f.Valid) read.push_back(f.Points);
  }
  reader.Close();
  EXPECT_EQ(read, runs);
}

TEST(HpglExport, AFailedCreateRaisesIoErrorAndLeavesNothing) {
  QTemporaryDir dir;
  const QString missingFolder = dir.filePath("no/such/folder/out.plt");
  EXPECT_THROW(SaveFiguresAsHpgl(SmallProject(), missingFolder), IoError);
  // A folder of that name cannot be replaced by the export.
  const QString folder = dir.filePath("taken.plt");
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_THROW(SaveFiguresAsHpgl(SmallProject(), folder), IoError);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{"taken.plt"});
}

}  // namespace
}  // namespace vm
