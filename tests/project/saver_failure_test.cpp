// A save that fails never leaves a job that could be sent: neither a file cut
// off where the disk refused more bytes, nor an empty file after a figure the
// writer refuses. The job saved before stays whole under the job's name, and
// no temporary file is left beside it. A save that completes replaces the job.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <functional>

#include "drawing/errors.h"
#include "saver_fixture.h"
#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;

// Limits the size of the files this process writes for its lifetime. Writing
// past the limit then fails with EFBIG instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*handler_)(int) = SIG_DFL;
};

class FailedSave : public test::SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    // A turning profile of several segments over its axis, 100 mm wide.
    tfigura& profile =
        AddFig(w, {{0, 400}, {800, 1200}, {1600, 1200}, {2400, 2000}, {3200, 400}, {4000, 800}});
    profile.Cut = true;
    profile.OrderNo = 1;
    profile.AxisWidth = profile.AxisHeight = 4000;
    Finish(w);
    // Plain cutting enters it at its first point, cuts it and comes back.
    w.FirstFigure = 0;
    w.CutFrame = true;
  }

  // The folder holds the job and nothing else (or nothing at all).
  QStringList FolderEntries() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }

  // Saves with the saver of `code`.
  void Save(TJobOutputMode code, const JobSettings& job) {
    switch (code) {
      case JobTurningSpindle:
        w.Save_toczenie_wrzeciono(Path(), 0, 0, job);
        break;
      case JobTurningTable:
        w.Save_toczenie_stolik(Path(), 0, 0, job);
        break;
      case JobRotarySpindle:
      case JobRotaryTable:
        w.Save_ciecie_obrotowe(Path(), 0, 0, job);
        break;
      default:
        w.save_ciecie(Path(), 0, 0, w.FigureCount() - 1, job);
        break;
    }
  }

  static JobSettings Settings(TJobOutputMode code) {
    JobSettings job = Job(code, code == JobPlainCutting ? 2 : (code == JobRotarySpindle ? 1 : 0));
    job.il_obr_rys = 1;
    job.RotaryStartX = 750;
    job.RotaryStartY = 980;
    return job;
  }

  TMDIChild w;
};

TEST_F(FailedSave, DiskRefusingMoreBytesKeepsTheEarlierJobWhole) {
  const TJobOutputMode codes[] = {JobTurningSpindle, JobTurningTable, JobRotarySpindle,
                                  JobPlainCutting};
  for (const TJobOutputMode code : codes) {
    SCOPED_TRACE(code);
    QFile::remove(Path());
    // Without an earlier job, the failed save leaves none.
    {
      FileSizeLimit limit(64);
      EXPECT_THROW(Save(code, Settings(code)), IoError);
    }
    EXPECT_TRUE(FolderEntries().isEmpty()) << FolderEntries().join(' ').toStdString();

    // A complete job, then the same save against a full disk.
    Save(code, Settings(code));
    const QByteArray earlier = Bytes();
    ASSERT_GT(earlier.size(), 64);
    EXPECT_TRUE(sim::DecodeJob(earlier).ok());
    {
      FileSizeLimit limit(64);
      EXPECT_THROW(Save(code, Settings(code)), IoError);
    }
    EXPECT_EQ(Bytes(), earlier);
    EXPECT_EQ(FolderEntries(), QStringList{"out.cn"});
    EXPECT_EQ(w.Reader, nullptr);
  }
  EXPECT_EQ(restoredCursors, waitCursors);
}

TEST_F(FailedSave, FigureTheWriterRefusesKeepsTheEarlierJobWhole) {
  // A rotary job written whole, then a turning job whose axis has no width:
  // the writer refuses in the middle of the pass, after the header.
  Save(JobRotarySpindle, Settings(JobRotarySpindle));
  const QByteArray earlier = Bytes();
  ASSERT_FALSE(earlier.isEmpty());
  w.Figures[0]->AxisWidth = 0;
  EXPECT_THROW(Save(JobTurningSpindle, Settings(JobTurningSpindle)), MessageError);
  EXPECT_EQ(Bytes(), earlier);
  EXPECT_EQ(FolderEntries(), QStringList{"out.cn"});
}

TEST_F(FailedSave, CompleteSaveReplacesTheJobAndKeepsItsPermissions) {
  // An earlier job of another mode, readable by its owner only.
  Save(JobRotarySpindle, Settings(JobRotarySpindle));
  const QByteArray rotary = Bytes();
  const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
  ASSERT_TRUE(QFile::setPermissions(Path(), ownerOnly));
  Save(JobTurningSpindle, Settings(JobTurningSpindle));
  EXPECT_NE(Bytes(), rotary);
  EXPECT_TRUE(sim::DecodeJob(Bytes()).ok());
  EXPECT_EQ(FolderEntries(), QStringList{"out.cn"});
  const QFileDevice::Permissions kept = QFile::permissions(Path());
  EXPECT_TRUE(kept.testFlags(ownerOnly));
  EXPECT_FALSE(kept & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                       QFileDevice::WriteOther));

  // A job name that is a link: the link stays and the job it names is replaced.
  const QString target = dir.filePath(QStringLiteral("jobs.cn"));
  ASSERT_TRUE(QFile::rename(Path(), target));
  ASSERT_TRUE(QFile::link(target, Path()));
  Save(JobRotarySpindle, Settings(JobRotarySpindle));
  EXPECT_TRUE(QFileInfo(Path()).isSymLink());
  EXPECT_EQ(test::ReadAll(target), rotary);
}

}  // namespace
}  // namespace vm
