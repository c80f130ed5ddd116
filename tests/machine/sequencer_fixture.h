// The cut sequencer against the controller emulator: project windows held by
// the test, the main window's hooks recorded (focus, output code, the
// Start-from-buffer item), every transmitted job file kept, and the commands
// the controller received in a readable form ("R 1 1", "A 0 1200 -500 0").
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "drawing/figury.h"
#include "machine/link_fixture.h"
#include "machine/manual_control.h"
#include "machine/sequencer.h"
#include "machine/serial_cut_dialog.h"
#include "machine/transmit.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "sim/job_decoder.h"
#include "support/test_support.h"

namespace vm::test {

using Polyline = std::vector<TPointI>;

inline Polyline Rect(int x0, int y0, int x1, int y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A command as text: its letter, then its bytes in decimal; a move "A" gives
// its signed deltas.
inline QString Readable(const QByteArray& cmd) {
  if (cmd.startsWith('A') && cmd.size() == 14) {
    QByteArray job = cmd;
    job[0] = 'a';
    sim::JobCommand m;
    sim::DecodeJobCommand(reinterpret_cast<const std::uint8_t*>(job.constData()), 14, m);
    return QStringLiteral("A %1 %2 %3").arg(m.dx).arg(m.dy).arg(m.dz);
  }
  QString s(QChar::fromLatin1(cmd[0]));
  for (qsizetype i = 1; i < cmd.size(); ++i) s += ' ' + QString::number(std::uint8_t(cmd[i]));
  return s;
}

class SequencerTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ResetTransmisja();
    ResetTster();
    ResetCutSequencer();
    ResetProjectHooks();
    ProjectHooks().SetWaitCursor = [this] { ++waitCursors; };
    ProjectHooks().RestoreCursor = [this] { ++restoredCursors; };
    ASSERT_TRUE(dir.isValid());
    ExeDir = dir.path() + "/";

    TSequencerHooks& h = CutSequencer().hooks;
    h.ActiveProject = [this]() -> TMDIChild* {
      return active >= 0 && active < int(projects.size()) ? projects[active].get() : nullptr;
    };
    h.Projects = [this] {
      std::vector<TMDIChild*> out;
      for (auto& p : projects) out.push_back(p.get());
      return out;
    };
    h.Activate = [this](TMDIChild& p) {
      for (std::size_t i = 0; i < projects.size(); ++i)
        if (projects[i].get() == &p) active = int(i);
      activated.push_back(p.PassNumber);
    };
    h.JobOutputMode = [this] { return outputMode; };
    h.SetJobOutputMode = [this](int code) {
      outputMode = code;
      outputModes.push_back(code);
    };
    h.SetStartFromBufferVisible = [this](bool v) { startFromBuffer = v; };
    SetTransmissionShowHandler([this](Ttransmisja& t) {
      captions << t.Caption;
      jobs.push_back(ReadAll(Ttransmisja::JobFilePath()));
      return t.RunModal();
    });
    sim.With([](sim::Controller& c) {
      c.SetHomed(true);
      c.SetPosition(10000, 10000, 0);
    });
  }
  void TearDown() override {
    SetSerialCutDialogHandler(nullptr);
    ResetCutSequencer();
    ResetTster();
    ResetTransmisja();
    ResetProjectHooks();
    LinkTest::TearDown();
  }

  // A project window of `figures` (plotter units) with its box, made active.
  TMDIChild& AddProject(const std::vector<Polyline>& figures, int passNumber = 0) {
    auto w = std::make_unique<TMDIChild>();
    for (const Polyline& pts : figures) {
      auto f = std::make_unique<tfigura>();
      f->Points = pts;
      w->AddFigure(std::move(f));
    }
    w->Ustaw_PPiPK();
    w->Width = w->MaxX - w->MinX;
    w->Height = w->MaxY - w->MinY;
    w->PassNumber = passNumber;
    w->Caption = QStringLiteral("C:\\jobs\\%1.plt").arg(passNumber);
    projects.push_back(std::move(w));
    active = int(projects.size()) - 1;
    return *projects.back();
  }
  // The same, prepared for plain (mode 2) or serial (mode 3) cutting.
  TMDIChild& AddPrepared(const std::vector<Polyline>& figures, int mode, int passNumber = 0) {
    TMDIChild& w = AddProject(figures, passNumber);
    TPlainCutEnv env;
    env.Settings.Mode = mode;
    PrepareCiecie(w, env);
    return w;
  }

  QStringList Cmds() {
    QStringList out;
    for (const QByteArray& c : Commands()) out << Readable(c);
    return out;
  }
  static int Count(const QStringList& cmds, const QString& c) { return int(cmds.count(c)); }
  QStringList MessageKeys() const {
    QStringList texts;
    for (const MessageRequest& r : messages.requests) texts << r.text;
    return texts;
  }
  std::vector<sim::JobCommand> JobBuffer() {
    return sim.With([](sim::Controller& c) { return c.JobBuffer(); });
  }
  bool JobFileWritten() const { return QFile::exists(Ttransmisja::JobFilePath()); }

  QTemporaryDir dir;
  std::vector<std::unique_ptr<TMDIChild>> projects;
  int active = -1;
  std::vector<int> activated;
  int outputMode = 1;
  std::vector<int> outputModes;
  bool startFromBuffer = false;
  QStringList captions;
  std::vector<QByteArray> jobs;
  int waitCursors = 0;
  int restoredCursors = 0;
};

}  // namespace vm::test
