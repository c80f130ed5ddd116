// Operators' drawings taken along the whole road: every ".dxf" and ".plt" file
// of the folder named by VM_REAL_DRAWINGS is opened as a project window's
// load opens it, in every work mode; the job the cut sequencer writes is
// decoded, and a plain-cutting job is laid over its drawing. One line per
// file and mode tells what the operator would see and how long it took.
// Without the variable the test is skipped: the drawings are not part of the
// sources.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/matma.h"
#include "job_check.h"
#include "machine/job_settings.h"
#include "machine/machine_globals.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "project/turning.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "sim/job_decoder.h"
#include "support/test_support.h"

namespace vm {
namespace {

struct Road {
  int mode;    // 0 turning, 1 rotary cutting, 2 cutting, 3 serial cutting
  int stolik;  // 0 spindle, 1 table, 2 none
  const char* name;
};

constexpr Road kRoads[] = {{2, 2, "cut"},         {3, 2, "serial"},    {0, 0, "turn-spindle"},
                           {0, 1, "turn-table"},  {0, 2, "turn-none"}, {1, 0, "rotary-spindle"},
                           {1, 1, "rotary-table"}};

TJobOutputMode CodeOf(const TMDIChild& w, const Road& road) {
  if (road.mode == 0 && road.stolik == 0) return JobTurningSpindle;
  if (road.mode == 0 && road.stolik == 1) return JobTurningTable;
  if (road.mode == 1) return w.HorizontalAxis ? JobRotarySpindle : JobRotaryTable;
  if (road.mode == 3) return JobSerialCutting;
  return JobPlainCutting;
}

QString OneLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" / "));
  text.replace(QLatin1Char('\n'), QLatin1String(" / "));
  return text;
}

// With VM_REAL_DUMP naming a folder, the prepared figures of each drawing are
// written there as text ("F kind" then one "X Y" line per point) to be drawn
// and looked at.
void DumpFigures(const TMDIChild& w, const QString& name) {
  const QString folder = QString::fromLocal8Bit(qgetenv("VM_REAL_DUMP"));
  if (folder.isEmpty()) return;
  QFile out(folder + QStringLiteral("/") + name + QStringLiteral(".pts"));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  QByteArray text;
  for (const auto& f : w.Figures) {
    text += "F " + QByteArray::number(f->Kind) + "\n";
    for (const TPointI& p : f->Points)
      text += QByteArray::number(p.X) + " " + QByteArray::number(p.Y) + "\n";
  }
  out.write(text);
}

TEST(RealDrawings, OpenRoadInEveryMode) {
  const QByteArray folder = qgetenv("VM_REAL_DRAWINGS");
  if (folder.isEmpty()) GTEST_SKIP() << "VM_REAL_DRAWINGS names no folder of drawings";
  ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString job = dir.filePath(QStringLiteral("out.cn"));
  const QString only = QString::fromLocal8Bit(qgetenv("VM_REAL_ONLY"));

  const QFileInfoList files = QDir(QString::fromLocal8Bit(folder))
                                  .entryInfoList({"*.dxf", "*.plt"}, QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << folder.constData();
  for (const QFileInfo& file : files) {
    if (!only.isEmpty() && !file.fileName().contains(only)) continue;
    for (const Road& road : kRoads) {
      ResetDlgkonfig();
      ResetDrawingGlobals();
      Machine.Reset();
      ResetProjectHooks();
      InstallPlainCutting();
      InstallTurning();
      Dlgkonfig().Mode.SetItemIndex(road.mode);
      Dlgkonfig().StolikSwitch.SetItemIndex(road.stolik);
      ScopedMessageRecorder messages(ModalResult::No);

      QElapsedTimer clock;
      clock.start();
      TMDIChild w;
      const bool loaded = w.Load(file.absoluteFilePath());
      const qint64 loadMs = clock.elapsed();
      QString line = QStringLiteral("%1 %2: %3 ms").arg(file.fileName(), road.name).arg(loadMs);
      if (loaded && road.mode == 2) DumpFigures(w, file.fileName());
      if (loaded) {
        std::int32_t drawn = 0, connectors = 0;
        for (const auto& f : w.Figures) (f->Kind == 0 ? drawn : connectors) += 1;
        line += QStringLiteral(", %1 figures (%2 added), %3 x %4 mm")
                    .arg(drawn)
                    .arg(connectors)
                    .arg(PlotterUnitsToMm(w.Width), 0, 'f', 1)
                    .arg(PlotterUnitsToMm(w.Height), 0, 'f', 1);
        if (road.mode >= 2 || (road.mode == 0 && road.stolik == 2)) {
          const auto unreached = UnreachedFigures(w);
          if (!unreached.empty())
            line += QStringLiteral(", unreached: ") + FigureNumbers(unreached, 8);
        }
        QFile::remove(job);
        const TJobOutputMode code = CodeOf(w, road);
        w.CutFrame = true;
        clock.restart();
        try {
          JobSettings settings = CurrentJobSettings(code, &w, 1, false);
          settings.ReadStatus = nullptr;
          w.SaveJob(code, job, 0, w.FigureCount() - 1, road.mode == 3 ? 0.5 : 0, settings);
          const QByteArray bytes = test::ReadAll(job);
          const sim::JobDecodeResult decoded = sim::DecodeJob(bytes);
          line += QStringLiteral(", job %1 bytes in %2 ms").arg(bytes.size()).arg(clock.elapsed());
          EXPECT_TRUE(decoded.ok()) << file.fileName().toStdString() << " " << road.name << ": "
                                    << decoded.error.toStdString();
          if ((code == JobPlainCutting || code == JobSerialCutting) && bytes.size() > 0) {
            // Laid over the drawing at scale 100 %, without calibration.
            JobSettings plain;
            plain.JobOutputMode = JobPlainCutting;
            plain.Mode = road.mode;
            QFile::remove(job);
            w.save_ciecie(job, 0, 0, w.FigureCount() - 1, plain);
            const QStringList problems = test::JobProblems(w, test::ReadAll(job));
            if (!problems.isEmpty())
              line += QStringLiteral(", %1 problems: ").arg(problems.size()) +
                      problems.mid(0, 3).join(QStringLiteral("; "));
          }
        } catch (const MessageError& e) {
          line += QStringLiteral(", job refused: ") + OneLine(MessageErrorText(e));
        } catch (const std::exception& e) {
          line += QStringLiteral(", job failed: ") + QString::fromLocal8Bit(e.what());
        }
      } else {
        line += QStringLiteral(", not opened");
      }
      for (const MessageRequest& r : messages.requests)
        line += QStringLiteral(" [%1: %2]")
                    .arg(r.icon == MessageIcon::Error ? QStringLiteral("error")
                                                      : QStringLiteral("info"),
                         OneLine(r.text));
      std::printf("%s\n", line.toLocal8Bit().constData());
      std::fflush(stdout);
      // Whatever the operator saw comes from the language file.
      for (const MessageRequest& r : messages.requests)
        EXPECT_FALSE(r.text.startsWith(QLatin1String("error")) ||
                     r.text.contains(QLatin1String("std::")))
            << r.text.toStdString();
    }
  }
}

}  // namespace
}  // namespace vm
