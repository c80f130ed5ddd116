// The arch-cutting dialog on the main window: Enter generates, a faulty board
// keeps its window in the source's place until the next Generate replaces it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "drawing/definicje.h"
#include "project/ui/arch_cutting_dialog.h"
#include "project/ui/project_window.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"
#include "shell/options.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/main_window.h"

namespace vm::ui {
namespace {

class ArchDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDlgkonfig();
    ResetDrawingGlobals();
    ResetCommandLine();
    ResetProjectHooks();
    ASSERT_TRUE(InstallLanguageFile(QStringLiteral("Velmarosta_US.xml")));
    main.TranslateForm();
    source = main.CreateMDIChild();
    auto f = std::make_unique<tfigura>();
    // Two turns of -pi/4 close together.
    f->Points = {{0, 0}, {1000, 0}, {1200, -200}, {1200, -1000}};
    source->project().AddFigure(std::move(f));
    source->project().Ustaw_PPiPK();
    source->project().Caption = "curve.plt";
    source->syncCaption();
    source->parentWidget()->setGeometry(10, 20, 300, 200);
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDlgkonfig();
  }
  void Enter(TfZaginaczDialog& dlg, double depthMm) {
    dlg.form().feuGlebokoscNaciec.SetValue(depthMm);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.depthEdit()->Field(), &press);
  }
  ScopedMessageRecorder messages;
  TMainForm main;
  ProjectWindow* source = nullptr;
};

TEST_F(ArchDialogTest, FaultyBoardTakesTheSourcePlaceAndIsReplaced) {
  TfZaginaczDialog dlg(&main);
  EXPECT_EQ(dlg.windowTitle(), Tr("Arch_cutting", "caption"));
  EXPECT_EQ(dlg.cancelButton()->text(), Tr("Configuration", "cancel.caption"));
  EXPECT_EQ(dlg.unitLabel()->text(), "[mm]");
  dlg.form().BeginRun(&source->project());
  dlg.show();

  Enter(dlg, 10);
  ASSERT_EQ(messages.requests.size(), 1);
  QList<ProjectWindow*> projects = main.Projects();
  ASSERT_EQ(projects.size(), 2);
  EXPECT_TRUE(projects[1]->windowTitle().startsWith("!!! "));
  EXPECT_EQ(projects[1]->parentWidget()->geometry(), source->parentWidget()->geometry());
  EXPECT_TRUE(dlg.isVisible());

  Enter(dlg, 2.5);
  projects = main.Projects();
  ASSERT_EQ(projects.size(), 2);
  EXPECT_EQ(projects[1]->windowTitle(), "curve.plt : " + Tr("Arch_cutting", "caption"));
  EXPECT_TRUE(projects[1]->parentWidget()->isMaximized());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace vm::ui
