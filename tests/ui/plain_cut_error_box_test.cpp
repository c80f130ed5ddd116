// A drawing whose plain-cutting preparation fails shows its reason in a real
// modal box, and the operator can close that box: the preparation's abort
// probe, which takes every key press and click while it lives, is gone before
// any box appears.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "machine/ui/event_abort_probe.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "shell/ui/message_box_ui.h"
#include "support/test_support.h"

namespace vm {
namespace {

// Closes every modal box with the Return key, as the operator would. A box
// that takes no key within two seconds is counted as frozen and closed from
// here, so that the test ends either way.
class BoxCloser : public QObject {
 public:
  BoxCloser() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start();
  }
  QStringList texts;
  int frozen = 0;

 private:
  void Tick() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (box != current_) {
      current_ = box;
      tries_ = 0;
      texts << box->text();
    }
    if (++tries_ > 100) {
      ++frozen;
      box->done(QMessageBox::Ok);
      return;
    }
    QCoreApplication::postEvent(box,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::postEvent(box,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
  }

  QTimer timer_;
  QMessageBox* current_ = nullptr;
  int tries_ = 0;
};

TEST(PlainCutErrorBox, TheBoxOfAFailedPreparationCanBeClosed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ResetDlgkonfig();
  ResetProjectHooks();
  ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  Dlgkonfig().Mode.SetItemIndex(2);
  // The program's own set-up: the preparation watches the event queue.
  InstallPlainCutting();
  SetPlainCuttingProbeFactory([] {
    auto probe = std::make_shared<ui::EventAbortProbe>();
    return std::function<bool()>([probe] { return probe->aborted(); });
  });
  ui::InstallMessageBoxHandler();

  // A small square and a square at 2e9 plotter units: the project's
  // coordinates do not fit the preparation's arithmetic.
  const QString path = dir.filePath(QStringLiteral("far.plt"));
  ASSERT_TRUE(test::WriteAll(path,
                             "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;"
                             "PU2000000000,2000000000;PD2000000400,2000000000,2000000400,"
                             "2000000400,2000000000,2000000400,2000000000,2000000000;PU;"));
  BoxCloser closer;
  TMDIChild w;
  EXPECT_FALSE(w.Load(path));
  EXPECT_TRUE(w.CloseRequested);
  // The working-area warning, then the reason the preparation failed.
  ASSERT_EQ(closer.texts.size(), 2);
  EXPECT_EQ(closer.texts[0], Tr("Main_window", "projektZaDuzy"));
  EXPECT_TRUE(closer.texts[1].startsWith(Tr("Project_window", "rysunekPozaZakresem")))
      << closer.texts[1].toStdString();
  EXPECT_EQ(closer.frozen, 0) << "a box took no key: " << closer.texts.join(" | ").toStdString();

  SetMessageHandler({});
  SetPlainCuttingProbeFactory({});
  ResetProjectHooks();
  ResetDlgkonfig();
  InstallInterfejs(nullptr);
}

}  // namespace
}  // namespace vm
