// The job file: written beside the job under a temporary name and renamed
// over the job once complete.
#include "drawing/job_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "drawing/errors.h"

namespace vm {

namespace {

// A name that exists and is no regular file (a device, a pipe).
bool IsSpecialFile(const QString& name) {
  struct stat st {};
  const QByteArray path = QFile::encodeName(name);
  return ::stat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace

JobFile::JobFile(const QString& fileName) : name_(fileName), target_(fileName) {
  if (IsSpecialFile(fileName)) {
    direct_ = std::make_unique<QFile>(fileName);
    if (!direct_->open(QIODevice::WriteOnly | QIODevice::Truncate))
      Fail(QStringLiteral("cannot create "), direct_->errorString());
    return;
  }
  const QFileInfo info(fileName);
  if (info.isSymLink()) target_ = info.symLinkTarget();
  const QFileInfo target(target_);
  temp_ = std::make_unique<QTemporaryFile>(target_ + QStringLiteral(".XXXXXX"));
  temp_->setAutoRemove(true);
  if (!temp_->open()) Fail(QStringLiteral("cannot create "), temp_->errorString());
  // The job keeps the permissions of the one it replaces; a new one is
  // readable by everyone, as a file created directly would be.
  const QFileDevice::Permissions permissions =
      target.exists()
          ? target.permissions()
          : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
  temp_->setPermissions(permissions);
}

JobFile::~JobFile() = default;

void JobFile::Fail(const QString& what, const QString& reason) {
  // Dropping the temporary file removes it; the job under its name is untouched.
  temp_.reset();
  if (direct_) direct_->close();
  direct_.reset();
  throw IoError((what + name_ + QStringLiteral(": ") + reason).toStdString());
}

void JobFile::Write(const QByteArray& bytes) {
  QFile* file = direct_ ? direct_.get() : static_cast<QFile*>(temp_.get());
  if (file == nullptr) throw IoError("job file " + name_.toStdString() + " is not open");
  if (file->write(bytes) != bytes.size())
    Fail(QStringLiteral("cannot write "), file->errorString());
}

void JobFile::Commit() {
  if (direct_) {
    const bool flushed = direct_->flush();
    direct_->close();
    if (!flushed || direct_->error() != QFileDevice::NoError)
      Fail(QStringLiteral("cannot write "), direct_->errorString());
    direct_.reset();
    return;
  }
  if (!temp_) throw IoError("job file " + name_.toStdString() + " is not open");
  if (!temp_->flush()) Fail(QStringLiteral("cannot write "), temp_->errorString());
  // On the disk before it takes the job's name: a power cut leaves the old
  // job or the new one, never a name on a file still being written.
  if (::fsync(temp_->handle()) != 0)
    Fail(QStringLiteral("cannot write "), QString::fromLocal8Bit(std::strerror(errno)));
  const QString tempName = temp_->fileName();
  temp_->close();
  if (temp_->error() != QFileDevice::NoError)
    Fail(QStringLiteral("cannot write "), temp_->errorString());
  if (std::rename(QFile::encodeName(tempName).constData(),
                  QFile::encodeName(target_).constData()) != 0)
    Fail(QStringLiteral("cannot replace "), QString::fromLocal8Bit(std::strerror(errno)));
  // The temporary name is gone: nothing is left to remove.
  temp_->setAutoRemove(false);
  temp_.reset();
}

}  // namespace vm
