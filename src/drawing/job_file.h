// The file a job is written to. The bytes go to a temporary file in the job's
// own folder, and that file replaces the job under its name only when the job
// is complete (one rename). A save that fails or is given up at any point
// removes the temporary file and leaves the job that was there before, whole:
// the controller is never sent a job cut off in the middle of a command.
//
// A name that is a device or a pipe rather than a regular file cannot be
// replaced; it is written in place. A symbolic link keeps pointing where it
// did: the file it names is replaced.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QFile;
class QTemporaryFile;

namespace vm {

class JobFile {
 public:
  // Creates the temporary file; IoError when it cannot be created (a missing
  // folder, no permission).
  explicit JobFile(const QString& fileName);
  // Removes the temporary file unless the job was committed.
  ~JobFile();
  JobFile(const JobFile&) = delete;
  JobFile& operator=(const JobFile&) = delete;

  // Appends bytes; IoError when they cannot all be written.
  void Write(const QByteArray& bytes);
  // Flushes the file to the disk, closes it and puts it in place of the job.
  // IoError on any failure, with the temporary file removed.
  void Commit();

  // The name the job is published under.
  const QString& FileName() const { return name_; }

 private:
  [[noreturn]] void Fail(const QString& what, const QString& reason);

  QString name_;    // as given
  QString target_;  // the regular file replaced at the end (a link resolved)
  std::unique_ptr<QTemporaryFile> temp_;
  std::unique_ptr<QFile> direct_;  // a device or pipe written in place
};

}  // namespace vm
