// Shared fixture of the job-file saver tests: a fresh settings store, display
// hooks that record the cursor and the main status line, a temporary folder
// for the job, and the job decoded into readable commands.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "drawing/job_writer.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"
#include "sim/job_decoder.h"
#include "support/test_support.h"

namespace vm::test {

class SaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetProjectHooks();
    ProjectHooks().SetWaitCursor = [this] { ++waitCursors; };
    ProjectHooks().RestoreCursor = [this] { ++restoredCursors; };
    ProjectHooks().ShowMainStatus = [this](const QString& t) { status << t; };
    ASSERT_TRUE(dir.isValid());
  }
  void TearDown() override {
    ResetProjectHooks();
    ResetDlgkonfig();
  }

  QString Path() const { return dir.filePath(QStringLiteral("out.cn")); }
  QByteArray Bytes() const { return ReadAll(Path()); }

  static std::vector<sim::JobCommand> Decode(const QByteArray& bytes) {
    const sim::JobDecodeResult r = sim::DecodeJob(bytes);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.commands;
  }

  // The commands as text, moves as "a dX dY dZ" (machine units and rotary
  // steps; the step count left out).
  static QStringList Shape(const QByteArray& bytes) {
    QStringList out;
    for (const sim::JobCommand& c : Decode(bytes)) {
      out << (c.letter == 'a' ? QStringLiteral("a %1 %2 %3").arg(c.dx).arg(c.dy).arg(c.dz)
                              : c.ToString());
    }
    return out;
  }

  static std::vector<sim::JobCommand> Moves(const QByteArray& bytes) {
    std::vector<sim::JobCommand> moves;
    for (const sim::JobCommand& c : Decode(bytes))
      if (c.letter == 'a') moves.push_back(c);
    return moves;
  }

  // Settings of a job of output code `mode` with the writer's defaults.
  static JobSettings Job(TJobOutputMode mode, std::int32_t workMode) {
    JobSettings s;
    s.JobOutputMode = mode;
    s.Mode = workMode;
    return s;
  }

  QTemporaryDir dir;
  int waitCursors = 0;
  int restoredCursors = 0;
  QStringList status;
};

inline std::string Join(const QStringList& l) {
  return l.join(QStringLiteral(" | ")).toStdString();
}

}  // namespace vm::test
