// Shared fixture of the job writer tests: writes a job into a temporary file
// and decodes it with the controller's job decoder.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>

#include "drawing/job_writer.h"
#include "sim/job_decoder.h"
#include "support/test_support.h"

namespace vm::test {

class JobWriterTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("out.cn")); }

  // Writes a whole job (header, what `body` writes, trailer) and returns the
  // bytes of the file.
  template <typename Body>
  QByteArray Job(const JobSettings& s, Body&& body) {
    JobWriter w;
    w.BeginJob(Path(), s);
    body(w);
    w.EndJob();
    return ReadAll(Path());
  }

  // The commands of a job in text form ("a 6 -3 4 0", "p 10", ...).
  static QStringList Commands(const QByteArray& bytes) {
    const sim::JobDecodeResult r = sim::DecodeJob(bytes);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.Texts();
  }

  static std::vector<sim::JobCommand> Moves(const QByteArray& bytes) {
    std::vector<sim::JobCommand> moves;
    for (const sim::JobCommand& c : sim::DecodeJob(bytes).commands) {
      if (c.letter == 'a') moves.push_back(c);
    }
    return moves;
  }

  QTemporaryDir dir_;
};

// Joins command texts for readable failure output.
inline std::string Join(const QStringList& l) {
  return l.join(QStringLiteral(" | ")).toStdString();
}

}  // namespace vm::test
