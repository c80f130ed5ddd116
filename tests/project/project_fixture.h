// Shared set-up of the project suites: fresh settings, globals and hooks, the
// English language file, a message recorder and a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "support/test_support.h"

namespace vm::test {

// A figure as the reader hands it over: open unless it has more than two
// points and its first point equals its last.
inline std::unique_ptr<tfigura> ReadFig(std::initializer_list<TPointI> points) {
  auto f = std::make_unique<tfigura>();
  f->Points.assign(points.begin(), points.end());
  f->Valid = !f->Points.empty();
  f->Open = !(f->Points.size() > 2 && f->Points.front() == f->Points.back());
  f->TurnParent = -1;
  return f;
}

class ProjectFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ResetProjectHooks();
    ASSERT_TRUE(InstallLanguageFile(DataPath("../../lang/Velmarosta_US.xml")));
    ASSERT_TRUE(dir.isValid());
    auto& h = ProjectHooks();
    h.SetWaitCursor = [this] { ++waits; };
    h.RestoreCursor = [this] { ++restores; };
    h.ShowMainStatus = [this](const QString& s) { mainStatus << s; };
  }
  void TearDown() override {
    ResetProjectHooks();
    InstallInterfejs(nullptr);
  }

  // Writes a drawing into the temporary folder; returns its path.
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteAll(path, bytes));
    return path;
  }

  // Error boxes shown so far, as texts.
  QStringList Errors() const {
    QStringList out;
    for (const auto& r : messages.requests)
      if (r.icon == MessageIcon::Error) out << r.text;
    return out;
  }

  QTemporaryDir dir;
  ScopedMessageRecorder messages;
  int waits = 0;
  int restores = 0;
  QStringList mainStatus;
};

}  // namespace vm::test
